#include "espeaksynthesizer.h"

#include "speechtext.h"
#include "utterance.h"
#include "voicelibraries.h"

#include <atomic>
#include <string>

namespace hiragana {

namespace {
constexpr int BufferMilliseconds = 50;

std::atomic_bool g_libraryHeld{false};

// The sink of the synthesis running on this thread; espeak's callback carries no context.
thread_local const EspeakSynthesizer::SampleSink *t_currentSink = nullptr;
thread_local bool t_stopped = false;

int ReceiveSamples(short *samples, int count, espeak_EVENT *)
{
    if (!samples || count <= 0 || !t_currentSink)
        return 0;
    t_stopped = !(*t_currentSink)(std::span<const std::int16_t>(samples, std::size_t(count)));
    return t_stopped ? 1 : 0;
}

// Sets the library up for synchronous synthesis with the Japanese voice; the sample rate, or
// 0 when that fails. Done once in the life of the process and never undone: espeak-ng's own
// teardown can deadlock with its internal threads.
int SetUpLibrary()
{
    const EspeakLibrary *espeak = Espeak();
    if (!espeak)
        return 0;
    const int sampleRate =
        espeak->initialize(AUDIO_OUTPUT_SYNCHRONOUS, BufferMilliseconds, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (sampleRate <= 0)
        return 0;
    espeak->setSynthCallback(ReceiveSamples);
    return espeak->setVoiceByName("ja") == EE_OK ? sampleRate : 0;
}
} // namespace

EspeakSynthesizer::EspeakSynthesizer()
    : m_holdsLibrary(!g_libraryHeld.exchange(true))
{
    if (!m_holdsLibrary)
        return;
    static const int sampleRate = SetUpLibrary();
    m_sampleRate = sampleRate;
}

EspeakSynthesizer::~EspeakSynthesizer()
{
    if (m_holdsLibrary)
        g_libraryHeld = false;
}

bool EspeakSynthesizer::Synthesize(std::string_view text, const SampleSink &sink)
{
    if (!IsReady())
        return false;
    const std::string terminated(text);
    t_currentSink = &sink;
    t_stopped = false;
    // Ready means the library was loaded.
    const espeak_ERROR result = Espeak()->synth(terminated.c_str(), terminated.size() + 1, 0, POS_CHARACTER, 0,
                                              espeakCHARS_UTF8, nullptr, nullptr);
    t_currentSink = nullptr;
    return result == EE_OK && !t_stopped;
}

bool EspeakSynthesizer::Say(std::u16string_view text, Utterance &utterance)
{
    if (!IsReady())
        return false;
    const auto deliver = [this, &utterance](std::span<const std::int16_t> samples) {
        return utterance.Deliver(samples, m_sampleRate);
    };
    bool saidAll = true;
    for (const SpeechChunk &chunk : SpeechChunks(text)) {
        saidAll = Synthesize(chunk.text, deliver) && saidAll;
        utterance.Pause(chunk.pauseAfter);
        if (utterance.IsCutShort())
            return false;
    }
    return saidAll;
}

} // namespace hiragana
