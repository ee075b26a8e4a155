#include "waylanddesktop.h"

#include "compositor.h"
#include "keystrokes.h"
#include "toplevellist.h"
#include "unicode.h"
#include "virtualkeyboard.h"

#include <algorithm>
#include <thread>

namespace hiragana::wayland {

WaylandDesktop::WaylandDesktop(std::vector<std::string> ownAppIds, const WaylandLimits &limits)
    : m_limits(limits)
    , m_ownAppIds(std::move(ownAppIds))
    , m_compositor(Compositor::Connect())
{
    if (!m_compositor)
        return;
    m_keyboard = std::make_unique<VirtualKeyboard>(*m_compositor);
    // The keyboard and its keymap reach the seat now rather than with the first transfer's
    // requests: a seat may give the keys of a keyboard it got just before them to nobody. A
    // compositor that refuses the keyboard leaves the desktop unusable.
    if (!m_compositor->Roundtrip(m_limits.reply))
        m_keyboard.reset();
}

WaylandDesktop::~WaylandDesktop() = default;

bool WaylandDesktop::usable() const
{
    return m_compositor && m_keyboard && m_keyboard->usable();
}

bool WaylandDesktop::ActivateWindow(const std::u16string &title)
{
    forgetTarget();
    if (!usable())
        return false;
    m_toplevels = std::make_unique<ToplevelList>(*m_compositor);
    if (m_compositor->Roundtrip(m_limits.reply))
        m_target = m_toplevels->FindByTitle(ToUtf8(title), m_ownAppIds);
    if (!m_target) {
        forgetTarget();
        return false;
    }
    zwlr_foreign_toplevel_handle_v1_activate(m_target->handle.get(), m_compositor->seat());
    const Toplevel &target = *m_target;
    m_compositor->DispatchUntil([&target] { return target.activated || target.closed; }, m_limits.activation);
    if (!target.activated)
        forgetTarget();
    return m_target != nullptr;
}

bool WaylandDesktop::SendKeystrokes(const std::u16string &text)
{
    if (!m_target)
        return false;
    // No wait for the user's own keys: other keyboards are out of a client's sight on Wayland.
    // Nor do they mix in: each keyboard of a seat has modifiers of its own, and ours has none.
    const bool sent = typeInBatches(KeysymsForText(text));
    forgetTarget();
    return sent;
}

bool WaylandDesktop::typeInBatches(const std::vector<Keysym> &keysyms)
{
    const std::span all(keysyms);
    for (std::size_t begin = 0, batch = 0; begin < all.size(); begin += VirtualKeyboard::MaxBatch, ++batch) {
        // Also before the first: a target just activated may still be taking the focus in.
        std::this_thread::sleep_for(m_limits.pause);
        if (m_beforeBatch)
            m_beforeBatch(batch);
        if (!targetStillActive())
            return false;
        const std::size_t count = std::min(VirtualKeyboard::MaxBatch, all.size() - begin);
        // Handed to the compositor before the pause, and known to have reached it.
        if (!m_keyboard->TypeBatch(all.subspan(begin, count)) || !m_compositor->Roundtrip(m_limits.reply))
            return false;
    }
    return true;
}

bool WaylandDesktop::targetStillActive()
{
    // After a round trip the list shows every change the compositor made before it.
    return m_compositor->Roundtrip(m_limits.reply) && m_target->activated;
}

void WaylandDesktop::forgetTarget()
{
    m_target = nullptr;
    m_toplevels.reset();
}

} // namespace hiragana::wayland
