#include "keypresser.h"

#include <X11/extensions/XTest.h>

namespace hiragana::x11 {

namespace {
constexpr unsigned long NoDelay = CurrentTime;
// Enough for the server clock to move on by one tick.
constexpr unsigned long OneMillisecond = 1;
} // namespace

KeyPresser::KeyPresser(Display *display, std::optional<KeyCode> shiftKey)
    : m_display(display)
    , m_shiftKey(shiftKey)
{
}

void KeyPresser::Type(KeyPosition position)
{
    setShift(position.shift);
    // Some programs take a release and a press of one key with the same timestamp for
    // auto-repeat and drop the pair, so a key pressed again right away waits for the next tick.
    const unsigned long delay = position.keycode == m_lastKey ? OneMillisecond : NoDelay;
    XTestFakeKeyEvent(m_display, position.keycode, True, delay);
    XTestFakeKeyEvent(m_display, position.keycode, False, NoDelay);
    m_lastKey = position.keycode;
}

void KeyPresser::ReleaseShift()
{
    setShift(false);
}

void KeyPresser::setShift(bool down)
{
    if (down == m_shiftDown || !m_shiftKey)
        return;
    XTestFakeKeyEvent(m_display, *m_shiftKey, down, NoDelay);
    m_shiftDown = down;
}

} // namespace hiragana::x11
