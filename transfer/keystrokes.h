#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace hiragana {

// An X keysym value, as X11 and xkbcommon name them (without their headers).
using Keysym = std::uint32_t;

// One key per character of text, in order (see TypedCharacters): the Latin-1 keysym for
// printable Latin-1, Tab for a tab, Return for a line break, else the Unicode keysym
// 0x01000000 | code point. No character is given a meaning of its own, and the legacy keysyms of
// other scripts are not used: they would turn some punctuation into other characters.
std::vector<Keysym> KeysymsForText(std::u16string_view text);

// A run of keys [begin, end) that can be typed with one set of bindings: unbound lists, once
// each, the keysyms that the keymap lacks and that must be bound to spare keys for the run.
struct Batch {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::vector<Keysym> unbound;
};

// Cuts keys into as few runs as possible, in order, each needing at most slots bindings.
// inKeymap tells whether the keymap already types a keysym. Empty when a keysym needs a
// binding but there are no slots.
std::optional<std::vector<Batch>> SplitIntoBatches(std::span<const Keysym> keys,
                                                   const std::function<bool(Keysym)> &inKeymap,
                                                   std::size_t slots);

} // namespace hiragana
