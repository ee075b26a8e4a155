#include "speechworker.h"

#include "espeaksynthesizer.h"
#include "openjtalksynthesizer.h"
#include "speechoutput.h"
#include "utterance.h"

namespace hiragana {

namespace {
using namespace std::chrono_literals;

// How long a text lasts when the voice cannot be had, so that its balloon still shows.
constexpr std::chrono::milliseconds EstimatedTimePerCharacter = 150ms;
} // namespace

SpeechWorker::SpeechWorker(AudioSinkFactory sinks, PreferredSynthesizer preferred)
    : m_sinks(std::move(sinks))
    , m_preferred(std::move(preferred))
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
        worker = std::make_shared<SpeechWorker>(DefaultAudioSinks(), OpenJtalkIfInstalled);
        shared = worker;
    }
    return worker;
}

void SpeechWorker::Run()
{
    EspeakSynthesizer espeak;
    // Chosen here, on this thread, so that no one waits for the choice but the texts to say.
    const std::unique_ptr<Synthesizer> preferred = m_preferred ? m_preferred(espeak, m_cutShort) : nullptr;
    Synthesizer &synthesizer = preferred ? *preferred : espeak;
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

std::chrono::milliseconds SpeechWorker::Say(Synthesizer &synthesizer, const std::u16string &text)
{
    const int sampleRate = synthesizer.SampleRate();
    if (sampleRate <= 0)
        return EstimatedTimePerCharacter * text.size();
    Utterance utterance(m_sinks(sampleRate), sampleRate, m_cutShort);
    synthesizer.Say(text, utterance);
    if (!m_cutShort)
        utterance.Finish();
    return utterance.Length();
}

} // namespace hiragana
