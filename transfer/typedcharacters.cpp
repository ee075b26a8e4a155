#include "typedcharacters.h"

#include "unicode.h"

namespace hiragana {

std::vector<char32_t> TypedCharacters(std::u16string_view text)
{
    const std::u32string characters = DecodeUtf16(text);
    std::vector<char32_t> typed;
    typed.reserve(characters.size());
    for (std::size_t i = 0; i < characters.size(); ++i) {
        const bool lineBreak = characters[i] == U'\r' || characters[i] == U'\n';
        typed.push_back(lineBreak ? U'\r' : characters[i]);
        if (characters[i] == U'\r' && i + 1 < characters.size() && characters[i + 1] == U'\n')
            ++i;
    }
    return typed;
}

} // namespace hiragana
