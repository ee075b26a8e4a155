// Open JTalk as the voice: the lines it is given, the WAV streams it writes, its process (a
// stand-in script plays the program) and the real program.
#include "heardtexts.h"
#include "openjtalksynthesizer.h"
#include "openjtalktext.h"
#include "utterance.h"
#include "wavreader.h"

#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <future>
#include <map>

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

TEST(OpenJtalkText, AKeyAloneSaysItsOwnSound)
{
    const std::pair<std::u16string_view, std::u8string_view> readings[] = {
        {u"は", u8"ハ"}, {u"へ", u8"ヘ"}, {u"を", u8"ヲ"}, {u"が", u8"ガ"}, {u"っ", u8"ちいさいツ"},
        {u"ゃ", u8"ちいさいヤ"}, {u"ゎ", u8"ちいさいワ"}, {u"ー", u8"ちょうおん"}, {u"、", u8"てん"},
        {u"。", u8"まる"}, {u"\u3000", u8"くうはく"}, {u"\r\n", u8"かいぎょう"}, {u"１", u8"１"},
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
        Repeated(u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん", 11),
        Repeated(u"がっこうへ、いきました。", 60), Repeated(u"きょうは\r\nいいてんき\n\n", 40),
        Repeated(u"１２３", 100), Repeated(u"あ😀ー", 200), Repeated(u"。！", 900) + u"おわり",
        Repeated(u"ちゅうしゃじょう", 30) + std::u16string(u"\0\t\x7F\xD800ん", 5)};
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

std::string WavBytes(const std::vector<std::int16_t> &samples, int channels = 1, int bits = 16)
{
    std::string bytes;
    const auto put = [&bytes](std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i)
            bytes += char(value >> (8 * i));
    };
    const std::uint32_t data = std::uint32_t(samples.size() * 2);
    bytes += "RIFF", put(36 + data, 4), bytes += "WAVEfmt ", put(16, 4), put(1, 2), put(channels, 2);
    put(48000, 4), put(48000 * channels * bits / 8, 4), put(channels * bits / 8, 2), put(bits, 2);
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

TEST(OpenJtalkWav, ReadsExactlyTheSamplesOrNothing)
{
    const std::string valid = WavBytes(Speech());
    const std::optional<WavSamples> read = ReadWav(valid);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->samples, Speech());
    EXPECT_EQ(read->sampleRate, 48000);
    for (const std::string &broken : {valid.substr(0, 30), valid.substr(0, valid.size() - 1), std::string(),
                                      WavBytes(Speech(), 2), WavBytes(Speech(), 1, 8)})
        EXPECT_FALSE(ReadWav(broken)) << broken.size() << " bytes";
    // The sound, from 10 ms before it to 40 ms after: the silence around it is open_jtalk's.
    EXPECT_EQ(TrimSilence(Speech(), 48000).size(), std::size_t(4800 + 480 + 1920));
    EXPECT_TRUE(TrimSilence(std::vector<std::int16_t>(48000, 20), 48000).empty());
}

// The voice to fall back on: notes what it is asked and says 100 samples at 22.05 kHz.
class FallbackVoice : public Synthesizer {
public:
    int SampleRate() const override { return 22050; }
    bool Say(std::u16string_view text, Utterance &utterance) override
    {
        asked.emplace_back(text);
        return utterance.Deliver(std::vector<std::int16_t>(100, 1000), 22050);
    }
    std::vector<std::u16string> asked;
};

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
        Utterance utterance(testing::CaptureInto(heard), 48000, cutShort);
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
    testing::Heard heard;
};

// Its speech is heard, trimmed. A program that fails, hangs or writes half a stream leaves the
// text to the other voice. Either way nothing of it is left running.
TEST_F(StandIn, ItsSpeechIsHeardOrTheOtherVoiceSpeaksAndNothingIsLeftBehind)
{
    const double trimmed = double(TrimSilence(Speech(), 48000).size()), other = 100.0 * 48000 / 22050;
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
    while (!synthesizer.CacheFilled())
        std::this_thread::sleep_for(10ms);
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

double seconds(std::span<const std::int16_t> samples) { return double(samples.size()) / 48000; }

// The installed program (scripts/install-deps installs it) says every key's string and every
// marked kana, each as its own sound, and a long text whole, at an even pace.
TEST(OpenJtalkRealVoice, SaysEveryKeyAndALongText)
{
    const std::optional<OpenJtalkInstall> install = FindOpenJtalk();
    ASSERT_TRUE(install) << "Open JTalk is not installed: run scripts/install-deps test";
    std::vector<std::u16string> texts = testing::KeyTexts();
    texts.push_back(testing::LongKanaText());
    FallbackVoice fallback;
    std::atomic_bool cutShort{false};
    OpenJtalkSynthesizer synthesizer({*install, 30s, false}, fallback, cutShort);
    ASSERT_TRUE(synthesizer.Start());
    std::map<std::u16string, testing::Heard> heard; // and how long its sound lasts from first to last
    for (const std::u16string &text : texts) {
        Utterance utterance(testing::CaptureInto(heard[text]), 48000, cutShort);
        EXPECT_TRUE(synthesizer.Say(text, utterance));
        utterance.Finish();
        EXPECT_NEAR(seconds(heard[text].samples) * 1000, double(utterance.Length().count()), 2.0);
        EXPECT_GE(seconds(TrimSilence(heard[text].samples, 48000)), text.size() == 1 ? 0.03 : 500 * 0.05)
            << "text " << heard.size();
    }
    EXPECT_TRUE(fallback.asked.empty());
    EXPECT_LE(seconds(heard[texts.back()].samples), 500 * 0.2);
    EXPECT_NE(heard[u"は"].samples, heard[u"わ"].samples) << "は alone is the particle \"wa\"";
    EXPECT_NE(heard[u"へ"].samples, heard[u"え"].samples) << "へ alone is the particle \"e\"";
}

} // namespace
} // namespace hiragana
