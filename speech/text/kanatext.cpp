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

bool IsAsciiPunctuation(char32_t c)
{
    return (c >= U'!' && c <= U'/') || (c >= U':' && c <= U'@') || (c >= U'[' && c <= U'`')
        || (c >= U'{' && c <= U'~');
}
} // namespace


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

std::u32string_view NameOfPause(char32_t c)
{
    if (c == IdeographicComma)
        return U"てん";
    if (c == IdeographicFullStop)
        return U"まる";
    if (IsSpace(c))
        return U"くうはく";
    if (IsLineBreak(c))
        return U"かいぎょう";
    return {};
}

bool IsReadByNames(std::u32string_view text, bool (*silentAlone)(char32_t))
{
    const bool oneCharacter = text.size() == 1 || text == U"\r\n";
    return oneCharacter || std::all_of(text.begin(), text.end(), silentAlone);
}

std::u32string Names(std::u32string_view text, std::u32string (*nameOf)(char32_t))
{
    std::u32string names;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n')
            ++i;
        if (!names.empty())
            names += IdeographicComma;
        names += nameOf(text[i]);
    }
    return names;
}

} // namespace hiragana::kanatext
