#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace hiragana {

// One line for open_jtalk, and the silence to leave after what it says.
struct OpenJtalkChunk {
    std::string line;      // UTF-8, without a line break
    std::u16string source; // the part of the text the line reads, for another voice to read instead
    std::chrono::milliseconds pauseAfter{0};

    bool operator==(const OpenJtalkChunk &) const = default;
};

// open_jtalk reads only the first line of its input and cuts a line longer than 1,023 bytes
// without a word (a little more, with punctuation, crashes it): every line stays well below.
inline constexpr std::size_t OpenJtalkLineBytes = 400;

// What open_jtalk reads for a text, so that it says what a reader expects:
// - a text of one character is said as that key sounds: kana in katakana (ハ, not the particle
//   "wa"), and by name where the character alone says nothing (、 てん, っ ちいさいツ, ー);
//   a text made only of such characters is read name by name;
// - otherwise one chunk per stretch between pauses of its own (punctuation, spaces, line
//   breaks), several to a line up to a limit; a run longer than open_jtalk keeps an even pace
//   over is split, with no pause added. The first chunk is a single short stretch, so that the
//   first sound comes soon, and the next ones can be made while it plays.
std::vector<OpenJtalkChunk> OpenJtalkChunks(std::u16string_view text);

} // namespace hiragana
