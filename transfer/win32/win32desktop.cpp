#include "win32desktop.h"

#include "foreground.h"
#include "keyevents.h"
#include "windowfinder.h"

#include <windows.h>

#include <string>
#include <vector>

namespace hiragana::win32 {

namespace {
HWND asWindow(std::uintptr_t window) { return reinterpret_cast<HWND>(window); }

INPUT toInput(const KeyEvent &event)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    if (event.key == KeyEvent::Key::Return) {
        input.ki.wVk = VK_RETURN;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(VK_RETURN, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = event.up ? KEYEVENTF_KEYUP : 0;
    } else {
        input.ki.wScan = event.unit;
        input.ki.dwFlags = KEYEVENTF_UNICODE | (event.up ? KEYEVENTF_KEYUP : 0);
    }
    return input;
}

bool sendInputs(const std::vector<KeyEvent> &events)
{
    std::vector<INPUT> inputs;
    inputs.reserve(events.size());
    for (const KeyEvent &event : events)
        inputs.push_back(toInput(event));
    const UINT count = static_cast<UINT>(inputs.size());
    // Fewer sent than given: another program's input got in the way, or the target runs with
    // higher rights and Windows blocks input to it.
    return SendInput(count, inputs.data(), sizeof(INPUT)) == count;
}

// Paces the batches to the target and stops at one that hangs: the answer comes once the
// target's thread takes its messages again.
bool answers(HWND target, std::chrono::milliseconds wait)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(target, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, static_cast<UINT>(wait.count()), &result) != 0;
}

std::wstring toWide(const std::u16string &text) { return {text.begin(), text.end()}; }
} // namespace

Win32Desktop::Win32Desktop(const Win32Limits &limits)
    : m_limits(limits)
{
}

bool Win32Desktop::ActivateWindow(const std::u16string &title)
{
    m_target = 0;
    HWND window = FindWindowByTitle(title);
    if (!window)
        return false;
    m_target = reinterpret_cast<std::uintptr_t>(window);
    return BringToForeground(window, m_limits.foreground);
}

void Win32Desktop::ProcessPendingEvents()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Not ours to take: the loop that runs the program ends on it.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool Win32Desktop::SendKeystrokes(const std::u16string &text)
{
    if (m_target == 0)
        return false;
    const auto batches = KeyEventBatches(text, m_limits.charactersPerBatch);
    for (std::size_t batch = 0; batch < batches.size(); ++batch) {
        if (m_beforeBatch)
            m_beforeBatch(batch);
        if (!WaitForModifiersReleased(m_limits.modifiersReleased) || !HoldsForeground(asWindow(m_target)))
            return false;
        if (!sendInputs(batches[batch]) || !answers(asWindow(m_target), m_limits.answer))
            return false;
    }
    return true;
}

void Win32Desktop::ShowMessageBox(const std::u16string &prompt, int buttons, const std::u16string &title)
{
    // buttons holds MessageBox's own MB_ values (16: MB_OK | MB_ICONHAND). With no owner window,
    // MB_TASKMODAL keeps the box modal over this thread's windows, and MB_SETFOREGROUND keeps it
    // from opening behind the window that the transfer brought to the front.
    const UINT style = static_cast<UINT>(buttons) | MB_TASKMODAL | MB_SETFOREGROUND;
    MessageBoxW(nullptr, toWide(prompt).c_str(), toWide(title).c_str(), style);
}

} // namespace hiragana::win32
