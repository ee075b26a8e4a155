#pragma once

#include <QString>
#include <QtGlobal>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace hiragana::gnome {

// A window as the shell lists it.
struct ShellWindow {
    quint64 id = 0;
    std::u16string title;
    bool isWayland = false; // otherwise an X11 program's window, through XWayland
};

// The window holding the keyboard focus, and whether text typed now reaches it.
struct ShellFocus {
    quint64 window = 0; // 0: none
    bool acceptsText = false;
};

// What typing a text did: whether all of it went out, and how many characters did.
struct TypingResult {
    bool complete = false;
    quint32 delivered = 0;
};

// The keyboard's side of the Hiragana extension of GNOME Shell, on the session bus. Each call
// blocks until the shell answers; a call the shell refuses or does not answer fails.
class ShellTransfer {
public:
    // The windows of other programs from the bottom of the stack to the top; nothing when the
    // extension does not answer (not installed, not enabled, or refusing this program).
    std::optional<std::vector<ShellWindow>> ListWindows() const;
    bool Activate(quint64 window) const;
    std::optional<ShellFocus> Focus() const;
    // Types text, each line break ("\n") as the Return key, while window holds the focus and
    // accepts text; bound limits the wait for the shell's answer.
    TypingResult Type(quint64 window, const QString &text, std::chrono::milliseconds bound) const;
};

} // namespace hiragana::gnome
