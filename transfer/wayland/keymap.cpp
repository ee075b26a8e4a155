#include "keymap.h"

#include <xkbcommon/xkbcommon.h>

#include <array>
#include <cstdlib>
#include <cstdio>

namespace hiragana::wayland {

namespace {
// XKB key names have at most four characters: K and the code in hexadecimal.
std::string keyName(std::uint32_t keycode)
{
    std::array<char, 8> name{};
    std::snprintf(name.data(), name.size(), "<K%02X>", static_cast<unsigned>(keycode & 0xFF));
    return name.data();
}

std::string keysymName(Keysym keysym)
{
    std::array<char, 64> name{};
    xkb_keysym_get_name(keysym, name.data(), name.size());
    return name.data();
}

// The keymap's source: its own key codes and symbols, the stock types and compatibility.
std::string keymapSource(std::span<const KeyBinding> keys)
{
    std::string keycodes, symbols;
    for (const KeyBinding &key : keys) {
        keycodes += "  " + keyName(key.keycode) + " = " + std::to_string(key.keycode) + ";\n";
        symbols += "  key " + keyName(key.keycode) + " { [ " + keysymName(key.keysym) + " ] };\n";
    }
    return "xkb_keymap {\n"
           "xkb_keycodes \"hiragana\" {\n  minimum = 8;\n  maximum = 255;\n" + keycodes + "};\n"
           "xkb_types \"hiragana\" { include \"complete\" };\n"
           "xkb_compatibility \"hiragana\" { include \"complete\" };\n"
           "xkb_symbols \"hiragana\" {\n" + symbols + "};\n"
           "};\n";
}
} // namespace

KeymapWriter::KeymapWriter()
    : m_context(xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES), &xkb_context_unref)
{
}

KeymapWriter::~KeymapWriter() = default;

std::string KeymapWriter::Write(std::span<const KeyBinding> keys) const
{
    if (!m_context)
        return {};
    const std::string source = keymapSource(keys);
    std::unique_ptr<xkb_keymap, void (*)(xkb_keymap *)> keymap(
        xkb_keymap_new_from_string(m_context.get(), source.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1,
                                   XKB_KEYMAP_COMPILE_NO_FLAGS),
        &xkb_keymap_unref);
    if (!keymap)
        return {};
    std::unique_ptr<char, void (*)(void *)> text(xkb_keymap_get_as_string(keymap.get(), XKB_KEYMAP_FORMAT_TEXT_V1),
                                                 &std::free);
    return text ? std::string(text.get()) : std::string();
}

} // namespace hiragana::wayland
