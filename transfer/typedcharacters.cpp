#include "typedcharacters.h"

namespace hiragana {

namespace {
constexpr char32_t ReplacementCharacter = 0xFFFD;

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
} // namespace

std::vector<char32_t> CodePoints(std::u16string_view text)
{
    std::vector<char32_t> result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (isHighSurrogate(unit) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            result.push_back(0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            result.push_back(ReplacementCharacter);
        } else {
            result.push_back(unit);
        }
    }
    return result;
}

std::vector<char32_t> TypedCharacters(std::u16string_view text)
{
    const std::vector<char32_t> characters = CodePoints(text);
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
