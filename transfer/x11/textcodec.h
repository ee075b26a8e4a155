#pragma once

#include <string>
#include <string_view>

namespace hiragana::x11 {

// A UTF-16 text in UTF-8, each surrogate without its partner as U+FFFD.
std::string ToUtf8(std::u16string_view text);

} // namespace hiragana::x11
