#include "xinput.h"
#include "windowtestsupport.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace hiragana::driver {

namespace {
// Unicode keysyms: 0x01000000 plus the code point.
constexpr KeySym UnicodeKeysym = 0x01000000;
} // namespace

XInput::XInput(Display *display)
    : m_display(display)
{
}

bool XInput::ClickAt(QPoint global, bool opensMenu)
{
    XTestFakeMotionEvent(m_display, -1, global.x(), global.y(), CurrentTime);
    XTestFakeButtonEvent(m_display, Button1, True, CurrentTime);
    XTestFakeButtonEvent(m_display, Button1, False, CurrentTime);
    XFlush(m_display);
    return opensMenu || waitUntilPointerFree();
}

// The pointer can be grabbed once nobody holds it: neither the window manager's grab nor the
// implicit grab of the window that got the press until the release has gone to it.
bool XInput::waitUntilPointerFree()
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        if (XGrabPointer(m_display, DefaultRootWindow(m_display), False, NoEventMask, GrabModeAsync, GrabModeAsync,
                         None, None, CurrentTime) == GrabSuccess) {
            XUngrabPointer(m_display, CurrentTime);
            XSync(m_display, False);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

void XInput::Tap(KeySym keysym, int modifiers)
{
    tapKeycode(XKeysymToKeycode(m_display, keysym), modifiers);
}

void XInput::tapKeycode(KeyCode keycode, int modifiers)
{
    const KeyCode control = XKeysymToKeycode(m_display, XK_Control_L);
    const KeyCode shift = XKeysymToKeycode(m_display, XK_Shift_L);
    const auto fake = [this](KeyCode key, bool press) { XTestFakeKeyEvent(m_display, key, press, CurrentTime); };
    if (modifiers & Control)
        fake(control, true);
    if (modifiers & Shift)
        fake(shift, true);
    fake(keycode, true);
    fake(keycode, false);
    if (modifiers & Shift)
        fake(shift, false);
    if (modifiers & Control)
        fake(control, false);
    XFlush(m_display);
}

bool XInput::Type(std::u32string_view text)
{
    for (const char32_t c : text) {
        const bool upper = c >= U'A' && c <= U'Z';
        if (const auto bound = m_bound.find(c); bound != m_bound.end())
            tapKeycode(bound->second.first, bound->second.second ? Shift : NoModifier);
        else if (upper || (c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9'))
            Tap(upper ? KeySym(c - U'A' + U'a') : KeySym(c), upper ? Shift : NoModifier);
        else
            return false;
    }
    return true;
}

bool XInput::BindCharacters(std::u32string_view characters)
{
    int first = 0, last = 0, perKeycode = 0;
    XDisplayKeycodes(m_display, &first, &last);
    KeySym *map = XGetKeyboardMapping(m_display, KeyCode(first), last - first + 1, &perKeycode);
    std::vector<KeyCode> spare;
    for (int keycode = last; keycode >= first; --keycode) {
        const KeySym *syms = map + (keycode - first) * perKeycode;
        if (std::all_of(syms, syms + perKeycode, [](KeySym sym) { return sym == NoSymbol; }))
            spare.push_back(KeyCode(keycode));
    }
    XFree(map);
    if (2 * spare.size() < characters.size())
        return false;
    // Two characters to a key: the second with Shift.
    for (std::size_t i = 0; i < characters.size(); i += 2) {
        const char32_t second = characters[std::min(i + 1, characters.size() - 1)];
        KeySym syms[2] = {UnicodeKeysym | characters[i], UnicodeKeysym | second};
        XChangeKeyboardMapping(m_display, spare[i / 2], 2, syms, 1);
        m_bound[characters[i]] = {spare[i / 2], false};
        m_bound.try_emplace(second, spare[i / 2], true);
        m_keys.push_back(spare[i / 2]);
    }
    XSync(m_display, False);
    return true;
}

void XInput::UnbindCharacters()
{
    for (const KeyCode keycode : m_keys) {
        KeySym none = NoSymbol;
        XChangeKeyboardMapping(m_display, keycode, 1, &none, 1);
    }
    m_bound.clear();
    m_keys.clear();
    XSync(m_display, False);
}

} // namespace hiragana::driver

void hiragana::windowtest::ClickAt(QPoint global)
{
    static driver::XInput input(XOpenDisplay(nullptr));
    input.ClickAt(global);
}
