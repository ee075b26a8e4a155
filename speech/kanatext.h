#pragma once

#include <string>
#include <string_view>

// Characters as the voices see them: the classes of characters both voices treat alike, and
// the conversions between the text's UTF-16 and the engines' UTF-8.
namespace hiragana::kanatext {

inline constexpr char32_t IdeographicSpace = U'\u3000';
inline constexpr char32_t IdeographicComma = U'、';
inline constexpr char32_t IdeographicFullStop = U'。';
inline constexpr char32_t ReplacementCharacter = U'\uFFFD';

// Code points of UTF-16 text; a lone surrogate becomes ReplacementCharacter.
std::u32string DecodeUtf16(std::u16string_view text);
std::u16string EncodeUtf16(std::u32string_view text);
std::string Utf8(std::u32string_view text);

bool IsLineBreak(char32_t c);
bool IsSpace(char32_t c);
// 、 。 and the ASCII punctuation in its ASCII and full-width forms.
bool IsPunctuation(char32_t c);
// Full-width forms of the ASCII characters (！ … ～) as ASCII; anything else unchanged.
char32_t NarrowForm(char32_t c);

struct SmallKana {
    char32_t small;
    char32_t large;
    bool voicedInWords; // read after another kana (がっこう, きゃ)
};
// The small kana's entry, or null for any other character.
const SmallKana *FindSmallKana(char32_t c);

// Characters that say nothing when they stand alone: line breaks, spaces, punctuation, っ.
bool IsSilentAlone(char32_t c);
// One character, counting CR LF as one.
bool IsOneCharacter(std::u32string_view text);

} // namespace hiragana::kanatext
