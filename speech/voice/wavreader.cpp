#include "wavreader.h"

#include <algorithm>
#include <chrono>

namespace hiragana {

namespace {
using namespace std::chrono_literals;

constexpr std::uint16_t PcmFormat = 1;
constexpr std::uint16_t Mono = 1;
constexpr std::uint16_t BitsPerSample = 16;
constexpr std::size_t FormatBytes = 16;

// Sound is looked for in windows this long; a window is sound when its mean square is above
// the threshold's square. The threshold (about -54 dBFS) passes the soft onset of a fricative
// and stops at the hiss of the synthesiser's own silence.
constexpr auto TrimWindow = 5ms;
constexpr double SoundThreshold = 64;
// Kept around the sound, so that neither its onset nor its decay is clipped.
constexpr auto KeptBefore = 10ms;
constexpr auto KeptAfter = 40ms;

std::uint32_t LittleEndian(std::string_view bytes, std::size_t at, int count)
{
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | std::uint8_t(bytes[at + std::size_t(i)]);
    return value;
}

std::size_t SamplesIn(std::chrono::milliseconds time, int sampleRate)
{
    return std::size_t(time.count()) * std::size_t(sampleRate) / 1000;
}

bool IsSound(std::span<const std::int16_t> window)
{
    double energy = 0;
    for (std::int16_t sample : window)
        energy += double(sample) * sample;
    return energy > SoundThreshold * SoundThreshold * double(window.size());
}

// True when the format chunk describes 16-bit mono PCM; its rate goes to sampleRate.
bool ReadFormat(std::string_view chunk, int &sampleRate)
{
    if (chunk.size() < FormatBytes || LittleEndian(chunk, 0, 2) != PcmFormat || LittleEndian(chunk, 2, 2) != Mono
        || LittleEndian(chunk, 14, 2) != BitsPerSample)
        return false;
    const std::uint32_t rate = LittleEndian(chunk, 4, 4);
    if (rate == 0 || rate > 384000)
        return false;
    sampleRate = int(rate);
    return true;
}
} // namespace

std::optional<WavSamples> ReadWav(std::string_view bytes)
{
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE")
        return std::nullopt;
    int sampleRate = 0;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string_view id = bytes.substr(at, 4);
        const std::size_t size = LittleEndian(bytes, at + 4, 4);
        const std::string_view body = bytes.substr(at + 8);
        if (size > body.size())
            return std::nullopt;
        if (id == "fmt " && !ReadFormat(body.substr(0, size), sampleRate))
            return std::nullopt;
        if (id == "data") {
            if (sampleRate == 0 || size % 2 != 0)
                return std::nullopt;
            WavSamples wav{sampleRate, std::vector<std::int16_t>(size / 2)};
            for (std::size_t i = 0; i < wav.samples.size(); ++i)
                wav.samples[i] = std::int16_t(LittleEndian(body, 2 * i, 2));
            return wav;
        }
        at += 8 + size + size % 2; // chunks are padded to an even length
    }
    return std::nullopt;
}

std::span<const std::int16_t> TrimSilence(std::span<const std::int16_t> samples, int sampleRate)
{
    const std::size_t window = std::max<std::size_t>(1, SamplesIn(TrimWindow, sampleRate));
    const std::size_t windows = samples.size() / window;
    const auto sounding = [&](std::size_t i) { return IsSound(samples.subspan(i * window, window)); };
    std::size_t first = 0;
    while (first < windows && !sounding(first))
        ++first;
    if (first == windows)
        return {};
    std::size_t last = windows - 1;
    while (!sounding(last))
        --last;
    const std::size_t begin = first * window - std::min(first * window, SamplesIn(KeptBefore, sampleRate));
    const std::size_t end = std::min(samples.size(), (last + 1) * window + SamplesIn(KeptAfter, sampleRate));
    return samples.subspan(begin, end - begin);
}

} // namespace hiragana
