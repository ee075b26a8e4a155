#pragma once

#include "keystrokes.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

struct xkb_context;

namespace hiragana::wayland {

// A key of the keymap (an XKB key code: the evdev code plus 8) that types one keysym.
struct KeyBinding {
    std::uint32_t keycode = 0;
    Keysym keysym = 0;
};

// Writes keymaps that bind nothing but the given keys, each at its first level.
class KeymapWriter {
public:
    KeymapWriter();
    ~KeymapWriter();
    KeymapWriter(const KeymapWriter &) = delete;
    KeymapWriter &operator=(const KeymapWriter &) = delete;

    // The keymap as text, complete: key types and compatibility written out in full, since
    // XWayland ignores a keymap without them. Empty when xkbcommon cannot make it.
    std::string Write(std::span<const KeyBinding> keys) const;

private:
    std::unique_ptr<xkb_context, void (*)(xkb_context *)> m_context;
};

} // namespace hiragana::wayland
