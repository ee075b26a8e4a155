#pragma once

#include "desktop.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace hiragana::win32 {

// How long the transfer waits for the desktop at most, and how it cuts the text.
struct Win32Limits {
    // For the target to become the foreground window. Under wine on a busy machine, with a
    // window manager that has its own say, this took over two seconds at times.
    std::chrono::milliseconds foreground{5000};
    // For the user to let go of Shift, Ctrl, Alt or a Windows key before a batch.
    std::chrono::milliseconds modifiersReleased{3000};
    // For the target to answer a message after a batch: its window procedure runs again.
    std::chrono::milliseconds answer{3000};
    // Characters per SendInput call; the target's hold on the foreground is checked before each.
    std::size_t charactersPerBatch = 32;
};

// The Windows desktop: finds the target among the visible top-level windows of other processes,
// brings it to the foreground, types with SendInput as Unicode key events, and shows the box
// with MessageBoxW. Standard Win32 only, no toolkit.
class Win32Desktop final : public Desktop {
public:
    explicit Win32Desktop(const Win32Limits &limits = {});

    // For watching a run: called with the batch number before each batch is checked and sent.
    void setBeforeBatch(std::function<void(std::size_t)> beforeBatch) { m_beforeBatch = std::move(beforeBatch); }

    bool ActivateWindow(const std::u16string &title) override;
    void ProcessPendingEvents() override;
    bool SendKeystrokes(const std::u16string &text) override;
    void ShowMessageBox(const std::u16string &prompt, int buttons, const std::u16string &title) override;

private:
    Win32Limits m_limits;
    std::function<void(std::size_t)> m_beforeBatch;
    std::uintptr_t m_target = 0; // the HWND that ActivateWindow brought to the front
};

} // namespace hiragana::win32
