#pragma once

#include <QPoint>

#include <X11/Xlib.h>

#include <map>
#include <string_view>

namespace hiragana::driver {

// A user's mouse and keyboard, through XTEST on a connection of the driver's own.
class XInput {
public:
    enum Modifier { NoModifier = 0, Shift = 1, Control = 2 };

    explicit XInput(Display *display);

    // Clicks, and waits (bounded) until the click has gone out to the window under the pointer.
    // A window manager may hold clicks back in a grab of its own while it raises and focuses
    // the window, and lets them go on later, while keys pass at once: without the wait, a key
    // pressed next could arrive before the click.
    bool ClickAt(QPoint global);
    // keysym as in X11/keysymdef.h, with the modifiers held around it.
    void Tap(KeySym keysym, int modifiers = NoModifier);
    // Types ASCII letters and digits with their own keys, and the characters bound by
    // BindCharacters with theirs. Returns false for a character it cannot type.
    bool Type(std::u32string_view text);

    // Binds each character to a spare key of its own, for good: done before the program under
    // test starts, so that it never sees the keymap change while keys arrive.
    bool BindCharacters(std::u32string_view characters);

private:
    void tapKeycode(KeyCode keycode, int modifiers);
    bool waitUntilPointerFree();
    void fake(KeyCode keycode, bool press);

    Display *m_display;
    std::map<char32_t, KeyCode> m_bound;
};

} // namespace hiragana::driver
