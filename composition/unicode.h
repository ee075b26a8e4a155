#pragma once

#include <string>
#include <string_view>

// The program's texts are UTF-16; the voices and the desktops' titles want code points or UTF-8.
// A surrogate without its partner is never passed on: it becomes ReplacementCharacter.
namespace hiragana {

inline constexpr char32_t ReplacementCharacter = U'\uFFFD';

constexpr bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

std::u32string DecodeUtf16(std::u16string_view text);
std::u16string EncodeUtf16(std::u32string_view text);
std::string EncodeUtf8(std::u32string_view text);
std::string ToUtf8(std::u16string_view text);

} // namespace hiragana
