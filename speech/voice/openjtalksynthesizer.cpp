#include "openjtalksynthesizer.h"

#include "childprocess.h"
#include "openjtalktext.h"
#include "utterance.h"
#include "wavreader.h"

#include <sys/resource.h>
#include <unistd.h>

namespace hiragana {

namespace {
using namespace std::chrono_literals;

// Far more than a chunk's sound (a few MB); a program writing more is not trusted.
constexpr std::size_t MostWavBytes = 32 << 20;
// Samples are handed on in pieces this long, so that a cut short is heard at once.
constexpr auto DeliveryPiece = 50ms;
// The keys' sounds are made at the lowest priority: never in the way of the keyboard.
constexpr int FillerNiceness = 19;

using Result = ChildProcess::Result;

struct Sound {
    Result result = Result::Failed;
    WavSamples wav;
};

// One line through open_jtalk, started at once and collected later, so that the next line is
// made while this one plays.
class LineSynthesis {
public:
    LineSynthesis(const OpenJtalkInstall &install, const std::string &line)
        : m_child(install.program, install.Arguments(), line + '\n')
    {
    }

    Sound Collect(std::chrono::milliseconds patience, const std::atomic_bool &stop)
    {
        std::string output;
        Sound sound{m_child.Finish(patience, MostWavBytes, stop, output), {}};
        if (sound.result != Result::Succeeded)
            return sound;
        std::optional<WavSamples> wav = ReadWav(output);
        const auto trimmed = wav ? TrimSilence(wav->samples, wav->sampleRate) : std::span<const std::int16_t>();
        if (trimmed.empty())
            return Sound{Result::Failed, {}};
        sound.wav = {wav->sampleRate, std::vector<std::int16_t>(trimmed.begin(), trimmed.end())};
        return sound;
    }

private:
    ChildProcess m_child;
};

Sound Synthesize(const OpenJtalkInstall &install, std::u16string_view text, std::chrono::milliseconds patience,
                 const std::atomic_bool &stop)
{
    const std::vector<OpenJtalkChunk> chunks = OpenJtalkChunks(text);
    if (chunks.size() != 1)
        return Sound{Result::Failed, {}};
    return LineSynthesis(install, chunks.front().line).Collect(patience, stop);
}

bool Stream(std::span<const std::int16_t> samples, int sampleRate, Utterance &utterance)
{
    const std::size_t piece = std::size_t(sampleRate) * DeliveryPiece.count() / 1000;
    for (std::size_t at = 0; at < samples.size(); at += piece) {
        if (!utterance.Deliver(samples.subspan(at, std::min(piece, samples.size() - at)), sampleRate))
            return false;
    }
    return true;
}
} // namespace

OpenJtalkSynthesizer::OpenJtalkSynthesizer(Settings settings, Synthesizer &fallback, const std::atomic_bool &cutShort)
    : m_settings(std::move(settings))
    , m_fallback(fallback)
    , m_cutShort(cutShort)
    , m_cache(SingleKeyTexts())
{
}

OpenJtalkSynthesizer::~OpenJtalkSynthesizer()
{
    m_stopFilling = true;
}

bool OpenJtalkSynthesizer::Start()
{
    const std::u16string first = u"あ";
    Sound sound = Synthesize(m_settings.install, first, m_settings.patience, m_cutShort);
    if (sound.result != Result::Succeeded || sound.wav.sampleRate != OpenJtalkSampleRate)
        return false;
    m_cache.Store(first, std::move(sound.wav.samples));
    if (m_settings.keepKeysReady)
        m_filler = std::jthread([this] { FillCache(); });
    else
        m_cacheFilled = true;
    return true;
}

bool OpenJtalkSynthesizer::Say(std::u16string_view text, Utterance &utterance)
{
    if (const UtteranceCache::Samples kept = m_cache.Find(text))
        return Stream(*kept, OpenJtalkSampleRate, utterance);
    // With no one to hear it (no sound server, no files), the lighter voice measures its length.
    if (!utterance.HasListeners() && m_fallback.SampleRate() > 0)
        return m_fallback.Say(text, utterance);
    return SayWithProcesses(text, utterance);
}

bool OpenJtalkSynthesizer::SayWithProcesses(std::u16string_view text, Utterance &utterance)
{
    const std::vector<OpenJtalkChunk> chunks = OpenJtalkChunks(text);
    std::unique_ptr<LineSynthesis> next;
    if (!chunks.empty())
        next = std::make_unique<LineSynthesis>(m_settings.install, chunks.front().line);
    bool saidAll = true;
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        Sound sound = next ? next->Collect(m_settings.patience, m_cutShort) : Sound{Result::TimedOut, {}};
        next.reset();
        if (sound.result == Result::Stopped)
            return false;
        // After a hang, open_jtalk is not waited for again in this utterance.
        if (sound.result != Result::TimedOut && i + 1 < chunks.size())
            next = std::make_unique<LineSynthesis>(m_settings.install, chunks[i + 1].line);
        if (sound.result == Result::Succeeded) {
            Stream(sound.wav.samples, sound.wav.sampleRate, utterance);
            if (chunks.size() == 1 && sound.wav.sampleRate == OpenJtalkSampleRate)
                m_cache.Store(text, std::move(sound.wav.samples));
        } else {
            saidAll = m_fallback.Say(chunks[i].source, utterance) && saidAll;
        }
        utterance.Pause(chunks[i].pauseAfter);
        if (utterance.IsCutShort())
            return false;
    }
    return saidAll;
}

void OpenJtalkSynthesizer::FillCache()
{
    // A thread's niceness on Linux is its own, and the children it starts inherit it.
    ::setpriority(PRIO_PROCESS, ::gettid(), FillerNiceness);
    for (const std::u16string &text : m_cache.Missing()) {
        if (m_stopFilling)
            break;
        Sound sound = Synthesize(m_settings.install, text, m_settings.patience, m_stopFilling);
        if (sound.result == Result::Succeeded && sound.wav.sampleRate == OpenJtalkSampleRate)
            m_cache.Store(text, std::move(sound.wav.samples));
    }
    m_cacheFilled = true;
}

std::unique_ptr<Synthesizer> OpenJtalkIfInstalled(Synthesizer &fallback, const std::atomic_bool &cutShort)
{
    const std::optional<OpenJtalkInstall> install = FindOpenJtalk();
    if (!install)
        return nullptr;
    auto synthesizer = std::make_unique<OpenJtalkSynthesizer>(OpenJtalkSynthesizer::Settings{*install}, fallback, cutShort);
    if (!synthesizer->Start())
        return nullptr;
    return synthesizer;
}

} // namespace hiragana
