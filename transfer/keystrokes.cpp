#include "keystrokes.h"

#include "typedcharacters.h"

#include <algorithm>

namespace hiragana {

namespace {
constexpr Keysym ReturnKeysym = 0xFF0D;
constexpr Keysym TabKeysym = 0xFF09;
constexpr Keysym UnicodeKeysymBase = 0x01000000;

bool isPrintableLatin1(char32_t c)
{
    return (c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0xFF);
}

Keysym keysymForCharacter(char32_t c)
{
    if (c == U'\t')
        return TabKeysym;
    if (c == U'\r') // every line break, as TypedCharacters gives it
        return ReturnKeysym;
    if (isPrintableLatin1(c))
        return c;
    return UnicodeKeysymBase | c;
}
} // namespace

std::vector<Keysym> KeysymsForText(std::u16string_view text)
{
    const std::vector<char32_t> characters = TypedCharacters(text);
    std::vector<Keysym> keys;
    keys.reserve(characters.size());
    for (const char32_t c : characters)
        keys.push_back(keysymForCharacter(c));
    return keys;
}

std::optional<std::vector<Batch>> SplitIntoBatches(std::span<const Keysym> keys,
                                                   const std::function<bool(Keysym)> &inKeymap,
                                                   std::size_t slots)
{
    std::vector<Batch> batches;
    Batch current;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const Keysym key = keys[i];
        const bool needsSlot = !inKeymap(key)
            && std::find(current.unbound.begin(), current.unbound.end(), key) == current.unbound.end();
        if (needsSlot) {
            if (slots == 0)
                return std::nullopt;
            if (current.unbound.size() == slots) {
                current.end = i;
                batches.push_back(std::move(current));
                current = Batch{i, i, {}};
            }
            current.unbound.push_back(key);
        }
    }
    current.end = keys.size();
    if (current.end > current.begin)
        batches.push_back(std::move(current));
    return batches;
}

} // namespace hiragana
