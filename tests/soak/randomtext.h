#pragma once

#include <random>
#include <string>

namespace hiragana::soak {

// Text a user might paste: letters, digits, punctuation, kana, kanji, emoji, full-width and
// ordinary spaces and line feeds.
std::u16string RandomPasteText(std::mt19937 &random, std::size_t length);

// The characters the driver types with keys of their own besides ASCII letters and digits.
inline constexpr std::u32string_view BoundCharacters = U"😀あé";
// Text typed key by key: ASCII letters and digits and the bound characters.
std::u32string RandomTypedText(std::mt19937 &random, std::size_t length);

// UTF-16 from UTF-32 and UTF-8 from UTF-16, whole characters only.
std::u16string ToUtf16(std::u32string_view text);
std::string ToUtf8(std::u16string_view text);
// The text as a target shows it: each CR LF pair, lone CR and lone LF becomes lineBreak.
std::string AsReceived(std::u16string_view text, std::string_view lineBreak);

} // namespace hiragana::soak
