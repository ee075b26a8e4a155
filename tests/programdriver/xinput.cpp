#include "xinput.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <thread>
#include <vector>

namespace hiragana::driver {

namespace {
// Unicode keysyms: 0x01000000 plus the code point.
constexpr KeySym UnicodeKeysym = 0x01000000;

bool isAsciiLetterOrDigit(char32_t c)
{
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9');
}
} // namespace

XInput::XInput(Display *display)
    : m_display(display)
{
}

bool XInput::ClickAt(QPoint global)
{
    XTestFakeMotionEvent(m_display, -1, global.x(), global.y(), CurrentTime);
    XTestFakeButtonEvent(m_display, Button1, True, CurrentTime);
    XTestFakeButtonEvent(m_display, Button1, False, CurrentTime);
    XFlush(m_display);
    return waitUntilPointerFree();
}

// The pointer can be grabbed once nobody holds it: neither the window manager's grab nor the
// implicit grab of the window that got the press until the release has gone to it.
bool XInput::waitUntilPointerFree()
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        const int status = XGrabPointer(m_display, DefaultRootWindow(m_display), False, NoEventMask, GrabModeAsync,
                                        GrabModeAsync, None, None, CurrentTime);
        if (status == GrabSuccess) {
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

void XInput::fake(KeyCode keycode, bool press)
{
    XTestFakeKeyEvent(m_display, keycode, press ? True : False, CurrentTime);
}

void XInput::tapKeycode(KeyCode keycode, int modifiers)
{
    const KeyCode control = XKeysymToKeycode(m_display, XK_Control_L);
    const KeyCode shift = XKeysymToKeycode(m_display, XK_Shift_L);
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
        if (const auto bound = m_bound.find(c); bound != m_bound.end()) {
            tapKeycode(bound->second, NoModifier);
        } else if (isAsciiLetterOrDigit(c)) {
            const bool upper = c >= U'A' && c <= U'Z';
            Tap(upper ? KeySym(c - U'A' + U'a') : KeySym(c), upper ? Shift : NoModifier);
        } else {
            return false;
        }
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
        bool empty = true;
        for (int level = 0; level < perKeycode; ++level)
            empty = empty && syms[level] == NoSymbol;
        if (empty)
            spare.push_back(KeyCode(keycode));
    }
    XFree(map);
    if (spare.size() < characters.size())
        return false;
    for (std::size_t i = 0; i < characters.size(); ++i) {
        KeySym syms[2] = {UnicodeKeysym | characters[i], UnicodeKeysym | characters[i]};
        XChangeKeyboardMapping(m_display, spare[i], 2, syms, 1);
        m_bound[characters[i]] = spare[i];
    }
    XSync(m_display, False);
    return true;
}

} // namespace hiragana::driver
