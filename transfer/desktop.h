#pragma once

#include <string>

namespace hiragana {

// What the transfer needs of the desktop. Each step reports whether it succeeded.
class Desktop {
public:
    virtual ~Desktop() = default;

    // Brings the window titled title to the front and waits until it holds the keyboard focus.
    virtual bool ActivateWindow(const std::u16string &title) = 0;
    // Runs the program's pending events once, then returns.
    virtual void ProcessPendingEvents() = 0;
    // Types text into the window that ActivateWindow brought to the front. Sends nothing, or
    // stops, as soon as that window no longer holds the keyboard focus.
    virtual bool SendKeystrokes(const std::u16string &text) = 0;
    // A modal message box; returns when the user closes it. buttons: 16 is OK with the
    // critical-stop icon.
    virtual void ShowMessageBox(const std::u16string &prompt, int buttons, const std::u16string &title) = 0;
};

} // namespace hiragana
