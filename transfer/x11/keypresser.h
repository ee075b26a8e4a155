#pragma once

#include "keymap.h"

#include <X11/Xlib.h>

#include <optional>

namespace hiragana::x11 {

// Presses and releases keys through XTEST, holding Shift down only while keys need it.
class KeyPresser {
public:
    KeyPresser(Display *display, std::optional<KeyCode> shiftKey);

    void Type(KeyPosition position);
    void ReleaseShift();

private:
    void setShift(bool down);

    Display *m_display;
    std::optional<KeyCode> m_shiftKey;
    bool m_shiftDown = false;
    KeyCode m_lastKey = 0;
};

} // namespace hiragana::x11
