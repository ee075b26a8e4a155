#include "keyboardstate.h"

#include "waiting.h"

#include <algorithm>
#include <array>

namespace hiragana::x11 {

namespace {
bool anyKeyDown(Display *display)
{
    std::array<char, 32> keys{};
    XQueryKeymap(display, keys.data());
    return std::any_of(keys.begin(), keys.end(), [](char bits) { return bits != 0; });
}

bool isNeutral(const XkbStateRec &state)
{
    return state.locked_mods == 0 && state.latched_mods == 0 && state.locked_group == 0 && state.latched_group == 0;
}
} // namespace

bool WaitForKeysReleased(Display *display, std::chrono::milliseconds bound)
{
    return WaitUntil([display] { return !anyKeyDown(display); }, bound);
}

NeutralKeyboardState::NeutralKeyboardState(Display *display)
    : m_display(display)
{
    if (XkbGetState(m_display, XkbUseCoreKbd, &m_saved) != Success || isNeutral(m_saved))
        return;
    XkbLockModifiers(m_display, XkbUseCoreKbd, m_saved.locked_mods, 0);
    XkbLatchModifiers(m_display, XkbUseCoreKbd, m_saved.latched_mods, 0);
    XkbLockGroup(m_display, XkbUseCoreKbd, 0);
    XkbLatchGroup(m_display, XkbUseCoreKbd, 0);
    XSync(m_display, False);
    m_cleared = true;
}

NeutralKeyboardState::~NeutralKeyboardState()
{
    if (!m_cleared)
        return;
    XkbLockModifiers(m_display, XkbUseCoreKbd, m_saved.locked_mods, m_saved.locked_mods);
    XkbLockGroup(m_display, XkbUseCoreKbd, m_saved.locked_group);
    XkbLatchModifiers(m_display, XkbUseCoreKbd, m_saved.latched_mods, m_saved.latched_mods);
    XkbLatchGroup(m_display, XkbUseCoreKbd, m_saved.latched_group);
    XSync(m_display, False);
}

} // namespace hiragana::x11
