#pragma once

#include "compositor.h"
#include "keymap.h"

#include <cstddef>
#include <span>
#include <vector>

namespace hiragana::wayland {

// A keyboard of our own on the user's seat that types batches of keysyms. Each character keeps
// its key for as long as the keymap has room: a new keymap comes only when a batch brings
// characters not bound yet, and it keeps every binding made before, taking back only the keys
// used least recently. So a target that reads the keymap only when it reads the keys (an X11
// program through XWayland) reads right however far behind it is, unless more characters than
// the keymap holds came in between.
class VirtualKeyboard {
public:
    // Keys of one batch at most: with their keymap, under 4 KiB on the wire.
    static constexpr std::size_t MaxBatch = 64;

    // Creates the keyboard and gives it a keymap at once: keys from a keyboard that a seat gets
    // only just before typing may reach nobody.
    explicit VirtualKeyboard(const Compositor &compositor);

    bool usable() const { return m_usable; }
    // Presses and releases the keys of keysyms (at most MaxBatch) in order, after binding those
    // not bound yet. False when no keymap could be made for them.
    bool TypeBatch(std::span<const Keysym> keysyms);

private:
    struct Binding {
        KeyBinding key;
        std::size_t lastBatch = 0; // the last batch that used it
    };

    std::uint32_t keycodeFor(Keysym keysym);
    bool upload();
    void press(std::uint32_t keycode);

    KeymapWriter m_keymapWriter;
    Owned<zwp_virtual_keyboard_v1> m_keyboard;
    std::vector<Binding> m_bindings;
    std::size_t m_batch = 0;
    bool m_keymapChanged = false;
    bool m_usable = false;
};

} // namespace hiragana::wayland
