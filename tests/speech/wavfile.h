#pragma once

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace hiragana::testing {

// A 16-bit mono PCM WAV file as the speech component writes it.
struct WavFile {
    int sampleRate = 0;
    std::vector<std::int16_t> samples;

    double Seconds() const { return sampleRate ? double(samples.size()) / sampleRate : 0.0; }

    // Time in 10 ms windows loud enough to be heard (RMS above about -36 dBFS).
    double SoundingSeconds() const
    {
        const std::size_t window = std::size_t(sampleRate / 100);
        double sounding = 0;
        for (std::size_t start = 0; window && start + window <= samples.size(); start += window) {
            double energy = 0;
            for (std::size_t i = start; i < start + window; ++i)
                energy += double(samples[i]) * samples[i];
            if (std::sqrt(energy / window) > 500)
                sounding += 0.01;
        }
        return sounding;
    }

    // The longest stretch of near silence, in seconds.
    double LongestSilence() const
    {
        std::size_t longest = 0, current = 0;
        for (std::int16_t sample : samples) {
            current = std::abs(sample) < 200 ? current + 1 : 0;
            longest = std::max(longest, current);
        }
        return sampleRate ? double(longest) / sampleRate : 0.0;
    }
};

inline std::uint32_t LittleEndian(const std::string &bytes, std::size_t at, int count)
{
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | std::uint8_t(bytes.at(at + i));
    return value;
}

// Reads the canonical 44-byte-header layout; an empty WavFile when the file is not one.
inline WavFile ReadWav(const std::filesystem::path &path)
{
    std::ifstream file(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    WavFile wav;
    if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") || bytes.compare(8, 8, "WAVEfmt ")
        || LittleEndian(bytes, 20, 2) != 1 || LittleEndian(bytes, 22, 2) != 1 || LittleEndian(bytes, 34, 2) != 16
        || bytes.compare(36, 4, "data") || LittleEndian(bytes, 40, 4) != bytes.size() - 44
        || LittleEndian(bytes, 4, 4) != bytes.size() - 8)
        return wav;
    wav.sampleRate = int(LittleEndian(bytes, 24, 4));
    wav.samples.resize((bytes.size() - 44) / 2);
    for (std::size_t i = 0; i < wav.samples.size(); ++i)
        wav.samples[i] = std::int16_t(LittleEndian(bytes, 44 + 2 * i, 2));
    return wav;
}

} // namespace hiragana::testing
