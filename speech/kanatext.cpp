#include "kanatext.h"

#include <algorithm>
#include <array>

namespace hiragana::kanatext {

namespace {
constexpr std::array<SmallKana, 12> SmallKanaTable{{
    {U'っ', U'つ', true}, {U'ゃ', U'や', true}, {U'ゅ', U'ゆ', true}, {U'ょ', U'よ', true},
    {U'ぁ', U'あ', false}, {U'ぃ', U'い', false}, {U'ぅ', U'う', false}, {U'ぇ', U'え', false},
    {U'ぉ', U'お', false}, {U'ゎ', U'わ', false}, {U'ゕ', U'か', false}, {U'ゖ', U'け', false},
}};

void AppendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

bool IsAsciiPunctuation(char32_t c)
{
    return (c >= U'!' && c <= U'/') || (c >= U':' && c <= U'@') || (c >= U'[' && c <= U'`')
        || (c >= U'{' && c <= U'~');
}
} // namespace

std::u32string DecodeUtf16(std::u16string_view text)
{
    std::u32string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            decoded.push_back(0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            decoded.push_back(high || low ? ReplacementCharacter : char32_t(unit));
        }
    }
    return decoded;
}

std::u16string EncodeUtf16(std::u32string_view text)
{
    std::u16string encoded;
    encoded.reserve(text.size());
    for (char32_t c : text) {
        if (c < 0x10000) {
            encoded.push_back(char16_t(c));
        } else {
            encoded.push_back(char16_t(0xD800 + ((c - 0x10000) >> 10)));
            encoded.push_back(char16_t(0xDC00 + ((c - 0x10000) & 0x3FF)));
        }
    }
    return encoded;
}

std::string Utf8(std::u32string_view text)
{
    std::string out;
    out.reserve(text.size() * 3);
    for (char32_t c : text)
        AppendUtf8(out, c);
    return out;
}

bool IsLineBreak(char32_t c) { return c == U'\n' || c == U'\r' || c == U'\u2028' || c == U'\u2029'; }

bool IsSpace(char32_t c) { return c == U' ' || c == U'\t' || c == IdeographicSpace; }

char32_t NarrowForm(char32_t c) { return c >= U'！' && c <= U'～' ? c - 0xFEE0 : c; }

bool IsPunctuation(char32_t c)
{
    return c == IdeographicComma || c == IdeographicFullStop || IsAsciiPunctuation(NarrowForm(c));
}

const SmallKana *FindSmallKana(char32_t c)
{
    const auto it = std::find_if(SmallKanaTable.begin(), SmallKanaTable.end(),
                                 [c](const SmallKana &kana) { return kana.small == c; });
    return it == SmallKanaTable.end() ? nullptr : &*it;
}

bool IsSilentAlone(char32_t c) { return IsLineBreak(c) || IsSpace(c) || IsPunctuation(c) || c == U'っ'; }

bool IsOneCharacter(std::u32string_view text) { return text.size() == 1 || text == U"\r\n"; }

} // namespace hiragana::kanatext
