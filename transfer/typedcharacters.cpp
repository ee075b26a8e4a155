#include "typedcharacters.h"

namespace hiragana {

namespace {
constexpr char32_t ReplacementCharacter = 0xFFFD;

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void appendUtf8(std::string &out, char32_t c)
{
    const auto byte = [&out](char32_t value) { out.push_back(static_cast<char>(value)); };
    if (c < 0x80) {
        byte(c);
    } else if (c < 0x800) {
        byte(0xC0 | (c >> 6));
        byte(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        byte(0xE0 | (c >> 12));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    } else {
        byte(0xF0 | (c >> 18));
        byte(0x80 | ((c >> 12) & 0x3F));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    }
}
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

std::string ToUtf8(std::u16string_view text)
{
    std::string result;
    result.reserve(text.size() * 3);
    for (const char32_t c : CodePoints(text))
        appendUtf8(result, c);
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
