#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace hiragana {

// Where the samples of one utterance go (16-bit mono). A sink lives for one utterance and
// never fails loudly: a sink that cannot deliver drops the samples.
class AudioSink {
public:
    virtual ~AudioSink() = default;

    virtual void Write(std::span<const std::int16_t> samples) = 0;
    // The utterance is complete: deliver whatever is still buffered (may wait until heard).
    // A sink destroyed without Finish throws its buffered samples away.
    virtual void Finish() {}
};

using AudioSinks = std::vector<std::unique_ptr<AudioSink>>;

// Opens the sinks for one utterance at the given sample rate.
using AudioSinkFactory = std::function<AudioSinks(int sampleRate)>;

} // namespace hiragana
