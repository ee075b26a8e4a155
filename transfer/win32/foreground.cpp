#include "foreground.h"

#include <algorithm>
#include <array>

namespace hiragana::win32 {

namespace {
constexpr DWORD PollInterval = 10; // ms
constexpr ULONGLONG RequestInterval = 250; // ms

template<typename Condition>
bool waitUntil(Condition &&condition, std::chrono::milliseconds wait)
{
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(std::max<long long>(wait.count(), 0));
    while (!condition()) {
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(PollInterval);
    }
    return true;
}

bool anyModifierDown()
{
    constexpr std::array modifiers{VK_SHIFT, VK_CONTROL, VK_MENU, VK_LWIN, VK_RWIN};
    return std::any_of(modifiers.begin(), modifiers.end(), [](int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; });
}
} // namespace

bool HoldsForeground(HWND window)
{
    return IsWindow(window) && GetForegroundWindow() == window;
}

bool BringToForeground(HWND window, std::chrono::milliseconds wait)
{
    if (!IsWindow(window))
        return false;
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    // Windows grants this only to the process in the foreground or the one that received the
    // last input: the keyboard is both, its key having just been clicked. Asked again now and
    // then, since a window manager under wine may hand the focus back to where it was.
    ULONGLONG nextRequest = 0;
    return waitUntil(
        [window, &nextRequest] {
            if (GetTickCount64() >= nextRequest) {
                SetForegroundWindow(window);
                nextRequest = GetTickCount64() + RequestInterval;
            }
            return HoldsForeground(window);
        },
        wait);
}

bool WaitForModifiersReleased(std::chrono::milliseconds wait)
{
    return waitUntil([] { return !anyModifierDown(); }, wait);
}

} // namespace hiragana::win32
