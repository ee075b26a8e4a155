#pragma once

#include "audiosink.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <span>
#include <vector>

namespace hiragana {

// The samples of one text on their way to its sinks, at the sinks' rate. Samples made at
// another rate (a fallback engine's) are converted on the way.
class Utterance {
public:
    Utterance(AudioSinks sinks, int sampleRate, const std::atomic_bool &cutShort);

    // False when no sink takes the samples: they would only be counted.
    bool HasListeners() const { return !m_sinks.empty(); }
    bool IsCutShort() const { return m_cutShort; }

    // False once the utterance is to be cut short.
    bool Deliver(std::span<const std::int16_t> samples, int sampleRate);
    void Pause(std::chrono::milliseconds pause);
    // The utterance is complete: its sinks deliver what they still hold.
    void Finish();

    // How long it lasts when heard, as delivered so far.
    std::chrono::milliseconds Length() const;

private:
    bool Send(std::span<const std::int16_t> samples);
    std::span<const std::int16_t> Converted(std::span<const std::int16_t> samples, int sampleRate);

    AudioSinks m_sinks;
    int m_sampleRate;
    const std::atomic_bool &m_cutShort;
    std::uint64_t m_samplesSaid = 0;

    // Linear interpolation between the last sample of one block and the next block.
    int m_fromRate = 0;
    double m_position = 0; // of the next output sample, in input samples after m_previous
    std::int16_t m_previous = 0;
    std::vector<std::int16_t> m_converted;
};

} // namespace hiragana
