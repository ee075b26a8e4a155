#pragma once

#include "unicode.h"

#include <string>
#include <string_view>

// Characters as the voices see them: the classes of characters both voices treat alike.
namespace hiragana::kanatext {

inline constexpr char32_t IdeographicSpace = U'\u3000';
inline constexpr char32_t IdeographicComma = U'、';
inline constexpr char32_t IdeographicFullStop = U'。';

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

// The name a voice says for 、 。 a space or a line break; empty for any other character.
std::u32string_view NameOfPause(char32_t c);

// Characters that say nothing when they stand alone: line breaks, spaces, punctuation, っ.
bool IsSilentAlone(char32_t c);
// Whether a text is read by the names of its characters rather than as words: a single
// character, or nothing but characters that say nothing alone (silentAlone).
bool IsReadByNames(std::u32string_view text, bool (*silentAlone)(char32_t));
// A text as a voice reads it: nothing when it is empty, by the names of its characters where
// IsReadByNames says so, else as words.
template<typename Chunks>
Chunks Read(std::u16string_view text, bool (*silentAlone)(char32_t), Chunks (*byNames)(std::u32string_view),
            Chunks (*asWords)(std::u32string_view))
{
    const std::u32string decoded = DecodeUtf16(text);
    if (decoded.empty())
        return {};
    return IsReadByNames(decoded, silentAlone) ? byNames(decoded) : asWords(decoded);
}
// The names of a text's characters, one after another with a pause (、) between; CR LF is one.
std::u32string Names(std::u32string_view text, std::u32string (*nameOf)(char32_t));

} // namespace hiragana::kanatext
