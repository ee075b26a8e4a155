#pragma once

// What the speech tests give a voice to say, and what they hear of it.
#include "audiosink.h"
#include "testtexts.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

namespace hiragana::testing {

// 500 kana with no word in them: the hardest text to say whole and at an even pace.
inline std::u16string LongKanaText()
{
    const std::u16string_view kana = u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん";
    std::u16string text;
    for (std::size_t i = 0; i < 500; ++i)
        text += kana[i * 7 % kana.size()];
    return text;
}

// The samples of one text as a voice delivered them, and the length it reported.
struct Heard {
    double seconds() const { return double(samples.size()) / sampleRate; }
    // Time in 10 ms windows loud enough to be heard (RMS above about -36 dBFS).
    double soundingSeconds() const
    {
        const std::size_t window = std::size_t(sampleRate) / 100;
        double sounding = 0;
        for (std::size_t start = 0; window > 0 && start + window <= samples.size(); start += window) {
            const auto from = samples.begin() + std::ptrdiff_t(start), to = from + std::ptrdiff_t(window);
            sounding += std::sqrt(std::inner_product(from, to, from, 0.0) / double(window)) > 500 ? 0.01 : 0;
        }
        return sounding;
    }
    double longestSilence() const
    {
        std::size_t longest = 0;
        for (std::size_t i = 0, quiet = 0; i < samples.size(); ++i) {
            quiet = std::abs(samples[i]) < 200 ? quiet + 1 : 0;
            longest = std::max(longest, quiet);
        }
        return double(longest) / sampleRate;
    }
    int sampleRate = 0;
    std::vector<std::int16_t> samples;
    std::size_t largestPiece = 0;
    std::chrono::milliseconds reported{};
};

struct Capture : AudioSink {
    explicit Capture(Heard &heard) : heard(heard) {}
    void Write(std::span<const std::int16_t> part) override
    {
        heard.samples.insert(heard.samples.end(), part.begin(), part.end());
        heard.largestPiece = std::max(heard.largestPiece, part.size());
    }
    Heard &heard;
};

inline AudioSinks CaptureInto(Heard &heard)
{
    AudioSinks sinks;
    sinks.push_back(std::make_unique<Capture>(heard));
    return sinks;
}

} // namespace hiragana::testing
