// The speech character's costs: the time SayAloud takes on the user-interface thread, and for
// each engine (espeak-ng, Open JTalk) the time from handing a text to the voice until its first
// sample, the CPU time per minute of speech, and the making of Open JTalk's kept keys.
#include "characterspeaker.h"
#include "espeaksynthesizer.h"
#include "openjtalksynthesizer.h"
#include "speechcharacter.h"
#include "speechworker.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <optional>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Only the three requests are queued here: the event loop that would carry them out does not
// run. The run is bounded, since the requests pile up.
void SayAloudOnTheUiThread(benchmark::State &state)
{
    const auto characters = hiragana::CreateCharacterCollection();
    hiragana::CharacterSpeaker speaker(hiragana::SetUpCharacter(*characters, 1500, 1200));
    const std::u16string text = state.range(0) ? std::u16string(500, u'あ') : u"が";
    for (auto _ : state)
        speaker.SayAloud(text);
}
BENCHMARK(SayAloudOnTheUiThread)->Arg(0)->Arg(1)->Iterations(20000)->Unit(benchmark::kMicrosecond);

// Notes when the first sample of an utterance arrives.
class FirstSampleSink : public hiragana::AudioSink {
public:
    explicit FirstSampleSink(std::optional<Clock::time_point> &firstSample, std::mutex &mutex,
                             std::condition_variable &arrived)
        : m_firstSample(firstSample), m_mutex(mutex), m_arrived(arrived)
    {
    }
    void Write(std::span<const std::int16_t>) override
    {
        std::lock_guard lock(m_mutex);
        if (!m_firstSample)
            m_firstSample = Clock::now();
        m_arrived.notify_all();
    }

private:
    std::optional<Clock::time_point> &m_firstSample;
    std::mutex &m_mutex;
    std::condition_variable &m_arrived;
};

std::u16string KanaText(int count)
{
    const std::u16string_view kana = u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん";
    std::u16string text;
    for (int i = 0; i < count; ++i)
        text += kana[std::size_t(i * 7) % kana.size()];
    return text;
}

enum Engine { Espeak, OpenJtalk };

double CpuSeconds()
{
    double seconds = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        seconds += double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
                 + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    return seconds;
}

// A worker speaking with the engine asked for. Open JTalk's keys are all kept ready before it
// is handed over, so that the filling is neither measured nor in the way; null without Open JTalk.
std::unique_ptr<hiragana::SpeechWorker> Worker(Engine engine, hiragana::AudioSinkFactory sinks)
{
    if (engine == Espeak)
        return std::make_unique<hiragana::SpeechWorker>(std::move(sinks));
    std::promise<const hiragana::OpenJtalkSynthesizer *> chosen;
    auto worker = std::make_unique<hiragana::SpeechWorker>(
        std::move(sinks), [&chosen](hiragana::Synthesizer &fallback, const std::atomic_bool &cutShort) {
            std::unique_ptr<hiragana::Synthesizer> synthesizer = hiragana::OpenJtalkIfInstalled(fallback, cutShort);
            chosen.set_value(dynamic_cast<const hiragana::OpenJtalkSynthesizer *>(synthesizer.get()));
            return synthesizer;
        });
    const hiragana::OpenJtalkSynthesizer *openJtalk = chosen.get_future().get();
    if (!openJtalk)
        return nullptr;
    while (!openJtalk->CacheFilled())
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return worker;
}

// From handing the text to the voice until its first sample reaches the sound output (here one
// that only notes the time), for a confirmed key (one kana) and for reading aloud 500 kana;
// also the CPU time it takes, the engine's child processes included, per minute of speech.
void SpeakToFirstSample(benchmark::State &state)
{
    std::mutex mutex;
    std::condition_variable changed;
    std::optional<Clock::time_point> firstSample;
    bool said = false;
    std::chrono::milliseconds audio{0};
    const auto worker = Worker(Engine(state.range(0)), [&](int) {
        hiragana::AudioSinks sinks;
        sinks.push_back(std::make_unique<FirstSampleSink>(firstSample, mutex, changed));
        return sinks;
    });
    if (!worker) {
        state.SkipWithError("Open JTalk is not installed");
        return;
    }
    const std::u16string text = state.range(1) == 1 ? u"が" : KanaText(int(state.range(1)));
    std::chrono::duration<double> synthesis{0};
    const double cpuBefore = CpuSeconds();
    for (auto _ : state) {
        {
            std::lock_guard lock(mutex);
            firstSample.reset();
            said = false;
        }
        const auto start = Clock::now();
        worker->Submit(text, [&](std::chrono::milliseconds length) {
            std::lock_guard lock(mutex);
            said = true;
            audio = length;
            changed.notify_all();
        });
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return said; });
        synthesis += Clock::now() - start;
        state.SetIterationTime(std::chrono::duration<double>(*firstSample - start).count());
    }
    const double audioSeconds = std::chrono::duration<double>(audio).count() * double(state.iterations());
    state.counters["audio_s"] = std::chrono::duration<double>(audio).count();
    state.counters["times_real_time"] = audioSeconds / synthesis.count();
    state.counters["cpu_s_per_min"] = (CpuSeconds() - cpuBefore) * 60 / audioSeconds;
}
BENCHMARK(SpeakToFirstSample)
    ->ArgsProduct({{Espeak, OpenJtalk}, {1, 500}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Open JTalk's keys made ready in the background, as after start-up: how long it takes and how
// much they hold.
void OpenJtalkKeysReady(benchmark::State &state)
{
    const std::optional<hiragana::OpenJtalkInstall> install = hiragana::FindOpenJtalk();
    if (!install) {
        state.SkipWithError("Open JTalk is not installed");
        return;
    }
    hiragana::EspeakSynthesizer fallback;
    std::atomic_bool cutShort{false};
    for (auto _ : state) {
        const auto start = Clock::now();
        hiragana::OpenJtalkSynthesizer synthesizer({*install}, fallback, cutShort);
        if (!synthesizer.Start()) {
            state.SkipWithError("Open JTalk gives no sound");
            return;
        }
        while (!synthesizer.CacheFilled())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        state.counters["cache_MB"] = double(synthesizer.Cache().Bytes()) / 1e6;
        state.counters["texts"] = double(hiragana::SingleKeyTexts().size() - synthesizer.Cache().Missing().size());
    }
}
BENCHMARK(OpenJtalkKeysReady)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
