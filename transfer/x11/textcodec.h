#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace hiragana::x11 {

// The characters of a UTF-16 text: a surrogate pair is one character, and a surrogate without
// its partner becomes U+FFFD.
std::vector<char32_t> CodePoints(std::u16string_view text);

std::string ToUtf8(std::u16string_view text);

} // namespace hiragana::x11
