#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace hiragana {

// One piece of text for the synthesiser, and the silence to leave after it.
struct SpeechChunk {
    std::string text; // UTF-8
    std::chrono::milliseconds pauseAfter{0};

    bool operator==(const SpeechChunk &) const = default;
};

// What the voice reads for a text, so that every key is heard:
// - a text of one character (or a lone line break) is read by the character's name where its
//   sound alone is silent or misleading (、 てん, 。 まる, small kana ちいさい つ, digits いち …);
// - a text made only of such characters is read name by name;
// - otherwise full-width digits and letters become ASCII, small vowels large, spaces word
//   breaks, each line break ends a chunk with a pause, and runs longer than the voice can hold
//   in one word are split, so that nothing is dropped.
std::vector<SpeechChunk> SpeechChunks(std::u16string_view text);

} // namespace hiragana
