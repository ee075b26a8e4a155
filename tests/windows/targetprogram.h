#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace hiragana::testing {

// A running hiragana_win32_target (found next to this test program): a window titled as asked
// with a multi-line EDIT, whose text it hands over when it closes.
class TargetProgram {
public:
    explicit TargetProgram(const std::u16string &title);
    ~TargetProgram();
    TargetProgram(const TargetProgram &) = delete;
    TargetProgram &operator=(const TargetProgram &) = delete;

    // Null when the program did not start or showed no window.
    HWND window() const { return m_window; }
    HWND edit() const { return m_edit; }

    // Closes the window and returns the text the program saved, or nothing when it failed.
    std::optional<std::u16string> closeAndReadText();

private:
    PROCESS_INFORMATION m_process{};
    std::wstring m_outputPath;
    HWND m_window = nullptr;
    HWND m_edit = nullptr;
};

// Brings window to the foreground (always allowed under wine) and waits for it, bounded.
bool MakeForeground(HWND window);

// Brings target to the foreground, types a marker character and waits, bounded, for the EDIT's
// text to end with it: input is handled in order, so whatever was typed before has arrived too.
bool TypeMarkerInto(const TargetProgram &target);
inline constexpr char16_t Marker = u'¶';

// Waits, a bounded time, for condition to hold.
template<typename Condition>
bool WaitFor(Condition &&condition)
{
    for (int i = 0; i < 3000; ++i) { // 30 s, for a busy machine
        if (condition())
            return true;
        Sleep(10);
    }
    return condition();
}

} // namespace hiragana::testing
