#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace hiragana {

// 16-bit mono PCM samples read from a WAV stream.
struct WavSamples {
    int sampleRate = 0;
    std::vector<std::int16_t> samples;
};

// Reads a whole RIFF WAV stream of 16-bit mono PCM (other chunks are skipped). Nothing when the
// stream is not one, is of another format, or is cut short before the end of its data.
std::optional<WavSamples> ReadWav(std::string_view bytes);

// The samples from just before the first sound to shortly after the last, leaving out the
// silence a synthesiser puts around its speech; empty when nothing is loud enough to be heard.
std::span<const std::int16_t> TrimSilence(std::span<const std::int16_t> samples, int sampleRate);

} // namespace hiragana
