#pragma once

#include <string_view>
#include <vector>

namespace hiragana {

// What typing text into another program presses, one entry per key stroke: its characters, with
// each line break (a CR LF pair, a lone CR or a lone LF) as one U'\r', the Return key.
std::vector<char32_t> TypedCharacters(std::u16string_view text);

} // namespace hiragana
