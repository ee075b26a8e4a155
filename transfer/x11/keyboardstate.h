#pragma once

#include <X11/XKBlib.h>

#include <chrono>

namespace hiragana::x11 {

// Waits, at most bound, until no key of the keyboard is down. A key the user still holds would
// mix its modifiers into the typed text, and a Return typed while the user's Enter is down is lost.
bool WaitForKeysReleased(Display *display, std::chrono::milliseconds bound);

// Clears locked and latched modifiers and groups (Caps Lock, a latched Shift, a second layout)
// while it lives, so that every key types its first or Shift level, and puts them back after.
class NeutralKeyboardState {
public:
    explicit NeutralKeyboardState(Display *display);
    ~NeutralKeyboardState();
    NeutralKeyboardState(const NeutralKeyboardState &) = delete;
    NeutralKeyboardState &operator=(const NeutralKeyboardState &) = delete;

private:
    Display *m_display;
    XkbStateRec m_saved{};
    bool m_cleared = false;
};

} // namespace hiragana::x11
