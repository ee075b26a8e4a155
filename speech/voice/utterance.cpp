#include "utterance.h"

#include <algorithm>
#include <array>

namespace hiragana {

Utterance::Utterance(AudioSinks sinks, int sampleRate, const std::atomic_bool &cutShort)
    : m_sinks(std::move(sinks))
    , m_sampleRate(sampleRate)
    , m_cutShort(cutShort)
{
}

bool Utterance::Deliver(std::span<const std::int16_t> samples, int sampleRate)
{
    if (sampleRate == m_sampleRate) {
        m_fromRate = 0;
        return Send(samples);
    }
    return Send(Converted(samples, sampleRate));
}

void Utterance::Pause(std::chrono::milliseconds pause)
{
    static const std::array<std::int16_t, 1024> silence{};
    auto left = std::uint64_t(pause.count()) * std::uint64_t(m_sampleRate) / 1000;
    while (left > 0 && !m_cutShort) {
        const std::size_t block = std::min<std::uint64_t>(left, silence.size());
        Send(std::span(silence.data(), block));
        left -= block;
    }
}

void Utterance::Finish()
{
    for (const auto &sink : m_sinks)
        sink->Finish();
}

std::chrono::milliseconds Utterance::Length() const
{
    return std::chrono::milliseconds(m_samplesSaid * 1000 / std::uint64_t(m_sampleRate));
}

bool Utterance::Send(std::span<const std::int16_t> samples)
{
    for (const auto &sink : m_sinks)
        sink->Write(samples);
    m_samplesSaid += samples.size();
    return !m_cutShort;
}

std::span<const std::int16_t> Utterance::Converted(std::span<const std::int16_t> samples, int sampleRate)
{
    if (sampleRate != m_fromRate) {
        m_fromRate = sampleRate;
        m_previous = 0;
        m_position = 1; // the first output sample is the first input sample
    }
    const double step = double(sampleRate) / m_sampleRate;
    const double end = double(samples.size());
    m_converted.clear();
    for (; m_position < end; m_position += step) {
        const auto at = std::size_t(m_position);
        const double fraction = m_position - double(at);
        const double before = at == 0 ? m_previous : samples[at - 1];
        m_converted.push_back(std::int16_t(before + (samples[at] - before) * fraction));
    }
    m_position -= end;
    if (!samples.empty())
        m_previous = samples.back();
    return m_converted;
}

} // namespace hiragana
