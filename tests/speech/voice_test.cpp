// The voices: the lines Open JTalk is given, the WAV streams it writes, its process (a
// stand-in script plays the program), and both real voices, heard in memory.
#include "openjtalksynthesizer.h"
#include "openjtalktext.h"
#include "speechworker.h"
#include "testtexts.h"
#include "utterance.h"

#include <QTemporaryDir>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <fstream>
#include <future>
#include <numeric>

namespace hiragana {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;

std::u16string Repeated(std::u16string_view piece, std::size_t times)
{
    std::u16string text;
    while (times-- > 0)
        text += piece;
    return text;
}

// 500 kana with no word in them: the hardest text to say whole and at an even pace.
std::u16string LongKanaText()
{
    const std::u16string_view kana = u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん";
    std::u16string text;
    for (std::size_t i = 0; i < 500; ++i)
        text += kana[i * 7 % kana.size()];
    return text;
}

TEST(OpenJtalkText, AKeyAloneSaysItsOwnSound)
{
    const std::pair<std::u16string_view, std::u8string_view> readings[] = {
        {u"は", u8"ハ"}, {u"へ", u8"ヘ"}, {u"を", u8"ヲ"}, {u"が", u8"ガ"}, {u"っ", u8"ちいさいツ"},
        {u"ゃ", u8"ちいさいヤ"}, {u"ゎ", u8"ちいさいワ"}, {u"ー", u8"ちょうおん"}, {u"１", u8"１"},
        {u"。、", u8"まる、てん"}, {u"こんにちは", u8"こんにちは"}};
    for (const auto &[text, line] : readings) {
        const std::string expected(line.begin(), line.end());
        EXPECT_THAT(OpenJtalkChunks(text), ElementsAre(::testing::Field(&OpenJtalkChunk::line, expected))) << expected;
    }
}

// Characters (the halves of a surrogate pair as one) in the longest run without a pause.
std::size_t LongestRun(std::u16string_view text, std::u16string_view pauses = u"、。！ 　")
{
    std::size_t run = 0, longest = 0;
    for (char16_t c : text) {
        if (c < 0xDC00 || c > 0xDFFF)
            run = pauses.find(c) == std::u16string_view::npos ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

std::u16string Hiragana(std::u16string text)
{
    std::erase_if(text, [](char16_t c) { return c < u'ぁ' || c > u'ゖ'; });
    return text;
}

// A line break in a line would end open_jtalk's input; a long line is cut or crashes it; a run
// without pauses is drawn out to half a second a sound; and no kana may be left out.
TEST(OpenJtalkText, LongTextsBecomeShortLinesWithEveryKana)
{
    const std::u16string texts[] = {
        LongKanaText(),
        Repeated(u"がっこうへ、いきました。", 60), Repeated(u"きょうは\r\nいいてんき\n\n", 40),
        Repeated(u"１２３", 100), Repeated(u"あ😀ー", 200), Repeated(u"。！", 900) + u"おわり",
        Repeated(u"ちゅうしゃじょう", 30) + std::u16string(u"\0\t\x7F\xD800ん", 5), u"あ" + Repeated(u"ー", 400)};
    for (const std::u16string &text : texts) {
        const std::vector<OpenJtalkChunk> chunks = OpenJtalkChunks(text);
        std::u16string said;
        for (const OpenJtalkChunk &chunk : chunks) {
            EXPECT_FALSE(chunk.line.empty());
            EXPECT_EQ(chunk.line.find_first_of("\r\n"), std::string::npos);
            EXPECT_LE(chunk.line.size(), OpenJtalkLineBytes);
            EXPECT_LE(LongestRun(chunk.source), 22u) << chunk.line;
            said += chunk.source;
        }
        EXPECT_EQ(Hiragana(said), Hiragana(text));
        ASSERT_FALSE(chunks.empty());
        EXPECT_LE(LongestRun(chunks.front().source, {}), 10u) << "a long first line delays the first sound";
    }
    EXPECT_GE(OpenJtalkChunks(u"あいう\nえお").front().pauseAfter, 400ms);
}

// A mono 16-bit WAV stream at 48 kHz.
std::string WavBytes(const std::vector<std::int16_t> &samples)
{
    std::string bytes;
    const auto put = [&bytes](std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i)
            bytes += char(value >> (8 * i));
    };
    const std::uint32_t data = std::uint32_t(samples.size() * 2);
    bytes += "RIFF", put(36 + data, 4), bytes += "WAVEfmt ", put(16, 4), put(1, 2), put(1, 2);
    put(48000, 4), put(48000 * 2, 4), put(2, 2), put(16, 2);
    bytes += "data", put(data, 4);
    for (std::int16_t sample : samples)
        put(std::uint16_t(sample), 2);
    return bytes;
}

// 0.4 s of silence, 0.1 s of a loud square wave, 0.5 s of silence, at 48 kHz.
std::vector<std::int16_t> Speech()
{
    std::vector<std::int16_t> samples(48000);
    for (int i = 0; i < 4800; ++i)
        samples[19200 + i] = (i / 50) % 2 ? 8000 : -8000;
    return samples;
}

// The voice to fall back on: notes what it is asked and says 100 samples at 22.05 kHz.
struct FallbackVoice : Synthesizer {
    int SampleRate() const override { return 22050; }
    bool Say(std::u16string_view text, Utterance &utterance) override
    {
        asked.emplace_back(text);
        return utterance.Deliver(std::vector<std::int16_t>(100, 1000), 22050);
    }
    std::vector<std::u16string> asked;
};

// The samples of one text as a voice delivered them, and the length the worker reported.
struct Heard {
    double seconds() const { return double(samples.size()) / sampleRate; }
    // Time in 10 ms windows loud enough to be heard (RMS above about -36 dBFS).
    double soundingSeconds() const
    {
        const std::size_t window = std::size_t(sampleRate) / 100;
        double sounding = 0;
        for (std::size_t start = 0; window > 0 && start + window <= samples.size(); start += window) {
            const auto from = samples.begin() + std::ptrdiff_t(start), to = from + std::ptrdiff_t(window);
            sounding += std::sqrt(std::inner_product(from, to, from, 0.0) / double(window)) > 500 ? 0.01 : 0;
        }
        return sounding;
    }
    double longestSilence() const
    {
        std::size_t longest = 0;
        for (std::size_t i = 0, quiet = 0; i < samples.size(); ++i) {
            quiet = std::abs(samples[i]) < 200 ? quiet + 1 : 0;
            longest = std::max(longest, quiet);
        }
        return double(longest) / sampleRate;
    }
    int sampleRate = 0;
    std::vector<std::int16_t> samples;
    std::size_t largestPiece = 0;
    std::chrono::milliseconds reported{};
};

AudioSinks CaptureInto(Heard &heard)
{
    struct Capture : AudioSink {
        explicit Capture(Heard &heard) : heard(heard) {}
        void Write(std::span<const std::int16_t> part) override
        {
            heard.samples.insert(heard.samples.end(), part.begin(), part.end());
            heard.largestPiece = std::max(heard.largestPiece, part.size());
        }
        Heard &heard;
    };
    AudioSinks sinks;
    sinks.push_back(std::make_unique<Capture>(heard));
    return sinks;
}

// open_jtalk played by a shell script: its dictionary argument names the WAV file it writes,
// its voice argument the file its process id goes to.
class StandIn : public ::testing::Test {
protected:
    void SetUp() override { std::ofstream(m_folder / "speech.wav") << WavBytes(Speech()); }

    OpenJtalkSynthesizer::Settings Program(const std::string &script, std::chrono::milliseconds patience = 300ms)
    {
        const auto program = m_folder / "open_jtalk";
        std::ofstream(program) << "#!/bin/sh\necho $$ >\"$4\"\n" << script << '\n';
        std::filesystem::permissions(program, std::filesystem::perms::owner_all);
        return {{program, m_folder / "speech.wav", m_folder / "pid"}, patience, false};
    }

    // Says the text; only a program waited for without end takes a minute.
    bool Say(const OpenJtalkSynthesizer::Settings &settings, std::u16string_view text)
    {
        OpenJtalkSynthesizer synthesizer(settings, fallback, cutShort);
        Utterance utterance(CaptureInto(heard), 48000, cutShort);
        auto said = std::async(std::launch::async, [&] { return synthesizer.Say(text, utterance); });
        if (said.wait_for(60s) != std::future_status::ready) {
            ADD_FAILURE() << "open_jtalk was waited for without end";
            cutShort = true;
        }
        return said.get();
    }

    bool ProgramIsGone() const
    {
        pid_t pid = 0;
        std::ifstream(m_folder / "pid") >> pid;
        return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH; // a zombie would still answer
    }

    QTemporaryDir m_temporary;
    const std::filesystem::path m_folder = m_temporary.path().toStdString();
    FallbackVoice fallback;
    std::atomic_bool cutShort{false};
    Heard heard;
};

// Its speech is heard, from 10 ms before the sound to 40 ms after: the silence around it is
// open_jtalk's. A program that fails, hangs or writes half a stream leaves the text to the other
// voice. Either way nothing of it is left running.
TEST_F(StandIn, ItsSpeechIsHeardOrTheOtherVoiceSpeaksAndNothingIsLeftBehind)
{
    const double trimmed = 480 + 4800 + 1920, other = 100.0 * 48000 / 22050;
    const std::pair<const char *, double> scripts[]{{"cat >/dev/null; cat \"$2\"", trimmed},
        {"cat >/dev/null; cat \"$2\"; exit 3", other}, {"exec sleep 3600", other}, {"head -c 100 \"$2\"", other}};
    for (const auto &[script, samples] : scripts) {
        fallback.asked.clear();
        heard.samples.clear();
        EXPECT_TRUE(Say(Program(script), u"あいう")) << script;
        EXPECT_EQ(fallback.asked, std::vector<std::u16string>(samples == other, u"あいう")) << script;
        EXPECT_NEAR(double(heard.samples.size()), samples, 2) << "the other voice's samples at the utterance's rate";
        EXPECT_TRUE(ProgramIsGone()) << script;
    }
}

TEST_F(StandIn, EveryKeyIsKeptReady)
{
    OpenJtalkSynthesizer synthesizer({Program("cat \"$2\"").install, 5s, true}, fallback, cutShort);
    ASSERT_TRUE(synthesizer.Start());
    ASSERT_TRUE(QTest::qWaitFor([&] { return synthesizer.CacheFilled(); }, 30'000));
    for (const std::u16string &text : testing::KeyTexts())
        EXPECT_TRUE(synthesizer.Cache().Find(text));
}

TEST_F(StandIn, CuttingShortEndsTheProgramAtOnce)
{
    std::thread cutter([&] {
        while (!std::filesystem::exists(m_folder / "pid"))
            std::this_thread::sleep_for(1ms);
        cutShort = true;
    });
    EXPECT_FALSE(Say(Program("exec sleep 3600", 1h), u"あいう"));
    cutter.join();
    EXPECT_TRUE(fallback.asked.empty());
    EXPECT_TRUE(ProgramIsGone());
}

// Says the texts one after the other through the speech worker, into memory, with the voice
// preferred or else espeak-ng's Japanese voice. Each must be heard, at no slower than 3 s a
// character, for as long as the worker reports, which is how long its balloon shows.
std::vector<Heard> hearAll(const std::vector<std::u16string> &texts, PreferredSynthesizer preferred = {})
{
    std::vector<Heard> heard(texts.size());
    std::vector<std::promise<void>> done(texts.size());
    SpeechWorker worker(
        [&, next = std::size_t(0)](int sampleRate) mutable {
            heard.at(next).sampleRate = sampleRate;
            return CaptureInto(heard.at(next++));
        },
        std::move(preferred));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        worker.Submit(texts[i], [&, i](std::chrono::milliseconds length) {
            heard[i].reported = length;
            done[i].set_value();
        });
    }
    for (std::size_t i = 0; i < texts.size(); ++i) {
        done[i].get_future().wait();
        SCOPED_TRACE(QString::fromStdU16String(texts[i]).toStdString());
        EXPECT_GE(heard[i].soundingSeconds(), texts[i].size() == 1 ? 0.03 : texts[i].size() * 0.04);
        EXPECT_LE(heard[i].seconds(), texts[i].size() * 3.0);
        EXPECT_NEAR(double(heard[i].reported.count()), heard[i].seconds() * 1000, 2.0);
    }
    return heard;
}

// Every key's string and every marked kana is heard. The voice alone drops all but the first 70
// kana or so of a word: a long text streams in pieces of a fraction of a second, and is said to
// its end. A line break is a pause.
TEST(RealVoice, SaysEveryKeyALongTextAndPausesAtALineBreak)
{
    std::vector<std::u16string> texts = testing::KeyTexts();
    ASSERT_EQ(texts.size(), 63u + 25u);
    texts.insert(texts.end(), {LongKanaText(), u"あいう\r\nえお"});
    const std::vector<Heard> heard = hearAll(texts);
    const Heard &longText = heard[heard.size() - 2];
    EXPECT_LE(longText.largestPiece, std::size_t(longText.sampleRate / 10));
    EXPECT_GE(heard.back().longestSilence(), 0.35);
}

// The installed program (scripts/install-deps installs it) says each key's text as its own
// sound, and a long text at an even pace, without the other voice.
TEST(OpenJtalkRealVoice, SaysEveryKeyAndALongText)
{
    const std::optional<OpenJtalkInstall> install = FindOpenJtalk();
    ASSERT_TRUE(install) << "Open JTalk is not installed: run scripts/install-deps test";
    std::vector<std::u16string> texts = testing::KeyTexts();
    texts.push_back(LongKanaText());
    FallbackVoice fallback;
    const std::vector<Heard> heard = hearAll(texts, [&](Synthesizer &, const std::atomic_bool &cutShort) {
        auto openJtalk = std::make_unique<OpenJtalkSynthesizer>(OpenJtalkSynthesizer::Settings{*install, 30s, false},
                                                                fallback, cutShort);
        EXPECT_TRUE(openJtalk->Start());
        return openJtalk;
    });
    EXPECT_TRUE(fallback.asked.empty());
    EXPECT_LE(heard.back().seconds(), 500 * 0.2);
    const auto soundOf = [&](std::u16string_view text) {
        return heard[std::size_t(std::ranges::find(texts, text) - texts.begin())].samples;
    };
    EXPECT_NE(soundOf(u"は"), soundOf(u"わ")) << "は alone is the particle \"wa\"";
    EXPECT_NE(soundOf(u"へ"), soundOf(u"え")) << "へ alone is the particle \"e\"";
}

} // namespace
} // namespace hiragana
