#include "unicode.h"

namespace hiragana {

namespace {
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

std::u32string DecodeUtf16(std::u16string_view text)
{
    std::u32string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            decoded.push_back(0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            decoded.push_back(IsHighSurrogate(unit) || IsLowSurrogate(unit) ? ReplacementCharacter : char32_t(unit));
        }
    }
    return decoded;
}

std::u16string EncodeUtf16(std::u32string_view text)
{
    std::u16string encoded;
    encoded.reserve(text.size());
    for (const char32_t c : text) {
        if (c < 0x10000) {
            encoded.push_back(char16_t(c));
        } else {
            encoded.push_back(char16_t(0xD800 + ((c - 0x10000) >> 10)));
            encoded.push_back(char16_t(0xDC00 + ((c - 0x10000) & 0x3FF)));
        }
    }
    return encoded;
}

std::string EncodeUtf8(std::u32string_view text)
{
    std::string out;
    out.reserve(text.size() * 3);
    for (const char32_t c : text)
        appendUtf8(out, c);
    return out;
}

std::string ToUtf8(std::u16string_view text) { return EncodeUtf8(DecodeUtf16(text)); }

} // namespace hiragana
