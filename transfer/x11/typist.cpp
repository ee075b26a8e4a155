#include "typist.h"

#include "activation.h"
#include "keyboardstate.h"
#include "keymap.h"
#include "keypresser.h"
#include "targetsync.h"

namespace hiragana::x11 {

namespace {
// Holds every other client off: between the focus check and the last key nothing can move the focus.
class ServerGrab {
public:
    explicit ServerGrab(Display *display) : m_display(display) { XGrabServer(m_display); }
    ~ServerGrab()
    {
        XUngrabServer(m_display);
        XSync(m_display, False);
    }
    ServerGrab(const ServerGrab &) = delete;
    ServerGrab &operator=(const ServerGrab &) = delete;

private:
    Display *m_display;
};
} // namespace

Typist::Typist(Connection &connection, const X11Limits &limits)
    : m_connection(connection)
    , m_limits(limits)
{
}

bool Typist::Type(Window target, std::u16string_view text)
{
    const std::vector<Keysym> keys = KeysymsForText(text);
    if (keys.empty())
        return true;
    if (!WaitForKeysReleased(m_connection.display(), m_limits.keysReleased))
        return false;
    m_connection.DiscardEvents();
    return typeKeys(target, keys);
}

bool Typist::typeKeys(Window target, std::span<const Keysym> keys)
{
    TargetSync sync(m_connection, target, m_limits.processed, m_limits.settleTime);
    // A target that answers pings is known to be done with a batch before its keys are bound
    // anew. For any other, the settling time is a guess: each batch keeps its keys for two.
    const SpareKeyUse use = sync.answersPings() ? SpareKeyUse::AllForEachBatch : SpareKeyUse::HalvesTakingTurns;
    // Declared in this order so that the keymap is restored before the lock state comes back.
    NeutralKeyboardState neutralState(m_connection.display());
    KeymapBinder keymap(m_connection.display(), use);
    if (!keymap.usable())
        return false;
    const auto batches = SplitIntoBatches(
        keys, [&keymap](Keysym keysym) { return keymap.InKeymap(keysym); }, keymap.slotCount());
    if (!batches)
        return false;
    KeyPresser presser(m_connection.display(), keymap.shiftKey());
    for (std::size_t i = 0; i < batches->size(); ++i) {
        const Batch &batch = (*batches)[i];
        if (m_beforeBatch)
            m_beforeBatch(i);
        if (!keymap.Bind(batch.unbound))
            return false;
        if (!sendWhileFocused(target, keys.subspan(batch.begin, batch.end - batch.begin), keymap, presser))
            return false;
        if (keymap.hasBindings() && !sync.WaitUntilProcessed())
            return false;
    }
    // The restore takes every binding away at once: the last batch gets its second wait here.
    return !keymap.hasBindings() || use == SpareKeyUse::AllForEachBatch || sync.WaitUntilProcessed();
}

bool Typist::sendWhileFocused(Window target, std::span<const Keysym> keys, const KeymapBinder &keymap,
                              KeyPresser &presser)
{
    ServerGrab grab(m_connection.display());
    if (!FocusIsIn(m_connection, target))
        return false;
    for (Keysym keysym : keys)
        presser.Type(keymap.Find(keysym).value());
    presser.ReleaseShift();
    return true;
}

} // namespace hiragana::x11
