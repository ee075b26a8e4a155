// Real speech through espeak-ng's Japanese voice, written as WAV files. The sound server is
// pointed at an address where none listens, so nothing plays on a developer's speakers and
// the test shows that a machine without sound still gets its speech said (to the files).
#include "keytable.h"
#include "speechoutput.h"
#include "speechworker.h"
#include "voicingmarks.h"
#include "wavfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <vector>

namespace hiragana {
namespace {

using namespace std::chrono_literals;
using testing::ReadWav;
using testing::WavFile;

struct Utterance {
    std::u16string text;
    std::chrono::milliseconds reportedLength;
    WavFile wav;
};

std::string Describe(const std::u16string &text)
{
    std::string units;
    for (char16_t unit : text.substr(0, 8)) {
        char code[8];
        std::snprintf(code, sizeof code, " U+%04X", unsigned(unit));
        units += code;
    }
    return "text of " + std::to_string(text.size()) + " units:" + units;
}

class RealVoice : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("PULSE_SERVER", "unix:/nonexistent/hiragana-test-has-no-sound-server", 1);
        std::string pattern = (std::filesystem::temp_directory_path() / "hiragana-speech-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
        setenv(SpeechWavDirVariable, m_folder.c_str(), 1);
    }

    void TearDown() override { std::filesystem::remove_all(m_folder); }

    // Says each text, one after the other, and waits until all are said.
    std::vector<Utterance> SayAll(const std::vector<std::u16string> &texts, AudioSinkFactory sinks = DefaultAudioSinks())
    {
        std::vector<std::optional<std::chrono::milliseconds>> lengths(texts.size());
        std::mutex mutex;
        std::condition_variable allSaid;
        {
            SpeechWorker worker(std::move(sinks));
            for (std::size_t i = 0; i < texts.size(); ++i) {
                worker.Submit(texts[i], [&, i](std::chrono::milliseconds length) {
                    std::lock_guard lock(mutex);
                    lengths[i] = length;
                    allSaid.notify_all();
                });
            }
            std::unique_lock lock(mutex);
            const bool done = allSaid.wait_for(lock, 10min, [&] {
                return std::all_of(lengths.begin(), lengths.end(), [](const auto &length) { return length.has_value(); });
            });
            EXPECT_TRUE(done) << "the worker did not say every text";
        }
        std::vector<std::filesystem::path> files;
        for (const auto &entry : std::filesystem::directory_iterator(m_folder))
            files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        EXPECT_EQ(files.size(), texts.size());

        std::vector<Utterance> said;
        for (std::size_t i = 0; i < texts.size(); ++i)
            said.push_back({texts[i], lengths[i].value_or(0ms), i < files.size() ? ReadWav(files[i]) : WavFile{}});
        return said;
    }

    static void ExpectHeard(const Utterance &utterance)
    {
        SCOPED_TRACE(Describe(utterance.text));
        ASSERT_GT(utterance.wav.sampleRate, 0) << "no readable WAV file";
        EXPECT_GE(utterance.wav.SoundingSeconds(), 0.06);
        EXPECT_GE(utterance.wav.Seconds(), 0.1);
        EXPECT_LE(utterance.wav.Seconds(), 3.0);
        EXPECT_NEAR(double(utterance.reportedLength.count()), utterance.wav.Seconds() * 1000, 2.0)
            << "the length the balloon waits for is not the length of the sound";
    }

    std::filesystem::path m_folder;
};

TEST_F(RealVoice, EveryKeyStringAndEveryMarkedKanaIsHeard)
{
    std::vector<std::u16string> texts;
    for (const KeyRecord &key : KeyTable) {
        if (key.role == KeyRole::KanaKey)
            texts.emplace_back(key.produces);
    }
    ASSERT_EQ(texts.size(), 63u);
    for (const MarkTable table : {MarkTable(VoicedMarkTable), MarkTable(SemiVoicedMarkTable)}) {
        for (const MarkPair &pair : table)
            texts.emplace_back(pair.marked);
    }
    for (const Utterance &utterance : SayAll(texts))
        ExpectHeard(utterance);
}

std::u16string UnbrokenKana(std::size_t count)
{
    const std::u16string_view plain = u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん";
    std::vector<std::u16string_view> kana;
    for (std::size_t i = 0; i < plain.size(); ++i)
        kana.push_back(plain.substr(i, 1));
    for (const MarkPair &pair : VoicedMarkTable)
        kana.push_back(pair.marked);
    std::u16string text;
    std::uint32_t seed = 12345;
    for (std::size_t i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        text += kana[(seed >> 16) % kana.size()];
    }
    return text;
}

// The voice alone cuts such a text off after about 70 kana; said to its end it lasts as long
// as its two halves said apart.
TEST_F(RealVoice, A500KanaTextWithoutABreakIsSaidToItsEnd)
{
    const std::u16string text = UnbrokenKana(500);
    const auto said = SayAll({text, text.substr(0, 250), text.substr(250)});

    const WavFile &whole = said[0].wav;
    EXPECT_GE(whole.Seconds(), 500 * 0.08);
    EXPECT_GE(whole.SoundingSeconds(), 500 * 0.04);
    EXPECT_GE(whole.Seconds(), 0.9 * (said[1].wav.Seconds() + said[2].wav.Seconds()));
    EXPECT_NEAR(double(said[0].reportedLength.count()), whole.Seconds() * 1000, 2.0);
}

TEST_F(RealVoice, ALineBreakIsAPause)
{
    const auto said = SayAll({u"あいう\r\nえお", u"あいうえお"});
    EXPECT_GE(said[0].wav.LongestSilence(), 0.35);
    EXPECT_LT(said[1].wav.LongestSilence(), 0.35);
    EXPECT_GE(said[0].wav.SoundingSeconds(), said[1].wav.SoundingSeconds() * 0.8);
}

// Counts what reaches a sink, to show that a long text streams in small pieces.
class CountingSink : public AudioSink {
public:
    explicit CountingSink(std::size_t &largest, std::size_t &writes) : m_largest(largest), m_writes(writes) {}
    void Write(std::span<const std::int16_t> samples) override
    {
        m_largest = std::max(m_largest, samples.size());
        ++m_writes;
    }

private:
    std::size_t &m_largest;
    std::size_t &m_writes;
};

TEST_F(RealVoice, ALongTextStreamsInPiecesOfAFractionOfASecond)
{
    std::size_t largest = 0;
    std::size_t writes = 0;
    int rate = 0;
    SayAll({UnbrokenKana(500)}, [&](int sampleRate) {
        rate = sampleRate;
        AudioSinks sinks = DefaultAudioSinks()(sampleRate); // still one WAV file per text
        sinks.push_back(std::make_unique<CountingSink>(largest, writes));
        return sinks;
    });
    EXPECT_GT(writes, 300u);
    EXPECT_LE(largest, std::size_t(rate / 10));
}

} // namespace
} // namespace hiragana
