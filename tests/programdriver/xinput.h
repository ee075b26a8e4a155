#pragma once

#include <QPoint>

#include <X11/Xlib.h>

#include <map>
#include <vector>
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
    // pressed next could arrive before the click. A click that opens a menu, which grabs the
    // pointer itself, is not waited for.
    bool ClickAt(QPoint global, bool opensMenu = false);
    // keysym as in X11/keysymdef.h, with the modifiers held around it.
    void Tap(KeySym keysym, int modifiers = NoModifier);
    // Types ASCII letters and digits with their own keys, and the characters bound by
    // BindCharacters with theirs. Returns false for a character it cannot type.
    bool Type(std::u32string_view text);

    // Binds the characters to spare keys, two to a key, best done before the program under test
    // starts, so that it never sees the keymap change while keys arrive; or given back later.
    bool BindCharacters(std::u32string_view characters);
    void UnbindCharacters();

private:
    void tapKeycode(KeyCode keycode, int modifiers);
    bool waitUntilPointerFree();

    Display *m_display;
    std::map<char32_t, std::pair<KeyCode, bool>> m_bound; // the key, and whether with Shift
    std::vector<KeyCode> m_keys;
};

} // namespace hiragana::driver
