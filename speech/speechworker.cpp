#include "speechworker.h"

#include "espeaksynthesizer.h"
#include "speechoutput.h"
#include "speechtext.h"

#include <algorithm>
#include <array>

namespace hiragana {

namespace {
using namespace std::chrono_literals;

// How long a text lasts when the voice cannot be had, so that its balloon still shows.
constexpr std::chrono::milliseconds EstimatedTimePerCharacter = 150ms;

std::chrono::milliseconds Duration(std::uint64_t samples, int sampleRate)
{
    return std::chrono::milliseconds(samples * 1000 / std::uint64_t(sampleRate));
}

// The samples of one text on their way to its sinks.
class Utterance {
public:
    Utterance(AudioSinks sinks, const std::atomic_bool &cutShort)
        : m_sinks(std::move(sinks))
        , m_cutShort(cutShort)
    {
    }

    // False once the utterance is to be cut short.
    bool Deliver(std::span<const std::int16_t> samples)
    {
        for (const auto &sink : m_sinks)
            sink->Write(samples);
        m_samplesSaid += samples.size();
        return !m_cutShort;
    }

    void Pause(std::chrono::milliseconds pause, int sampleRate)
    {
        static const std::array<std::int16_t, 1024> silence{};
        auto left = std::uint64_t(pause.count()) * std::uint64_t(sampleRate) / 1000;
        while (left > 0 && !m_cutShort) {
            const std::size_t block = std::min<std::uint64_t>(left, silence.size());
            Deliver(std::span(silence.data(), block));
            left -= block;
        }
    }

    void Finish()
    {
        for (const auto &sink : m_sinks)
            sink->Finish();
    }

    std::uint64_t SamplesSaid() const { return m_samplesSaid; }

private:
    AudioSinks m_sinks;
    const std::atomic_bool &m_cutShort;
    std::uint64_t m_samplesSaid = 0;
};
} // namespace

SpeechWorker::SpeechWorker(AudioSinkFactory sinks)
    : m_sinks(std::move(sinks))
    , m_thread([this] { Run(); })
{
}

SpeechWorker::~SpeechWorker()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_jobs.clear();
    }
    m_cutShort = true;
    m_wake.notify_all();
    m_thread.join();
}

void SpeechWorker::Submit(std::u16string text, Finished finished)
{
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(Job{std::move(text), std::move(finished)});
    }
    m_wake.notify_one();
}

std::shared_ptr<SpeechWorker> SpeechWorker::Shared()
{
    static std::mutex mutex;
    static std::weak_ptr<SpeechWorker> shared;
    std::lock_guard lock(mutex);
    std::shared_ptr<SpeechWorker> worker = shared.lock();
    if (!worker) {
        worker = std::make_shared<SpeechWorker>(DefaultAudioSinks());
        shared = worker;
    }
    return worker;
}

void SpeechWorker::Run()
{
    EspeakSynthesizer synthesizer;
    Job job;
    while (WaitForJob(job)) {
        const std::chrono::milliseconds length = Say(synthesizer, job.text);
        if (!m_cutShort)
            job.finished(length);
        job = Job{};
    }
}

bool SpeechWorker::WaitForJob(Job &job)
{
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
    if (m_stopping)
        return false;
    job = std::move(m_jobs.front());
    m_jobs.pop_front();
    return true;
}

std::chrono::milliseconds SpeechWorker::Say(EspeakSynthesizer &synthesizer, const std::u16string &text)
{
    if (!synthesizer.IsReady())
        return EstimatedTimePerCharacter * text.size();
    const int sampleRate = synthesizer.SampleRate();
    Utterance utterance(m_sinks(sampleRate), m_cutShort);
    const auto deliver = [&utterance](std::span<const std::int16_t> samples) { return utterance.Deliver(samples); };
    for (const SpeechChunk &chunk : SpeechChunks(text)) {
        synthesizer.Synthesize(chunk.text, deliver);
        utterance.Pause(chunk.pauseAfter, sampleRate);
        if (m_cutShort)
            return Duration(utterance.SamplesSaid(), sampleRate);
    }
    utterance.Finish();
    return Duration(utterance.SamplesSaid(), sampleRate);
}

} // namespace hiragana
