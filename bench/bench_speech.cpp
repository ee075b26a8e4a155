// The speech character's costs: the time SayAloud takes on the user-interface thread, and
// the time from handing a text to the voice until its first sample is made.
#include "characterspeaker.h"
#include "speechcharacter.h"
#include "speechworker.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

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

// From handing the text to the voice until the first synthesised sample, without sound output.
void SpeakToFirstSample(benchmark::State &state)
{
    std::mutex mutex;
    std::condition_variable changed;
    std::optional<Clock::time_point> firstSample;
    bool said = false;
    std::chrono::milliseconds audio{0};
    hiragana::SpeechWorker worker([&](int) {
        hiragana::AudioSinks sinks;
        sinks.push_back(std::make_unique<FirstSampleSink>(firstSample, mutex, changed));
        return sinks;
    });
    const std::u16string text = KanaText(int(state.range(0)));
    std::chrono::duration<double> synthesis{0};
    for (auto _ : state) {
        {
            std::lock_guard lock(mutex);
            firstSample.reset();
            said = false;
        }
        const auto start = Clock::now();
        worker.Submit(text, [&](std::chrono::milliseconds length) {
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
    state.counters["audio_s"] = std::chrono::duration<double>(audio).count();
    state.counters["times_real_time"] =
        std::chrono::duration<double>(audio).count() * double(state.iterations()) / synthesis.count();
}
BENCHMARK(SpeakToFirstSample)->Arg(1)->Arg(500)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
