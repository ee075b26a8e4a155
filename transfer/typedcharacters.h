#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace hiragana {

// The characters of a UTF-16 text: a surrogate pair is one character, and a surrogate without
// its partner becomes U+FFFD.
std::vector<char32_t> CodePoints(std::u16string_view text);

// A UTF-16 text in UTF-8, each surrogate without its partner as U+FFFD.
std::string ToUtf8(std::u16string_view text);

// What typing text into another program presses, one entry per key stroke: its characters, with
// each line break (a CR LF pair, a lone CR or a lone LF) as one U'\r', the Return key.
std::vector<char32_t> TypedCharacters(std::u16string_view text);

} // namespace hiragana
