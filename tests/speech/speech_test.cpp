// The speech character without its windows: where SetUpCharacter puts it, the order in which
// its requests are carried out, and what the voice reads for a text.
#include "characterspeaker.h"
#include "failure.h"
#include "queuedcharacter.h"
#include "speechtext.h"

#include <QCoreApplication>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <deque>

namespace hiragana {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;

std::string utf8(std::u16string_view text) { return QString::fromStdU16String(std::u16string(text)).toStdString(); }

// The one character of its collection, writing what it is asked into a log.
struct RecordingCharacter final : CharacterCollection, Character {
    void Load(const std::u16string &id, const std::u16string &at) override { log.push_back(utf8(id) + ' ' + utf8(at)); }
    Character &Item(const std::u16string &id) override
    {
        log.push_back(utf8(id));
        return *this;
    }
    void MoveTo(std::int16_t x, std::int16_t y) override { log.push_back(std::to_string(x) + " " + std::to_string(y)); }
    void Show() override {}
    void Speak(const std::u16string &) override {}
    void Hide() override {}
    std::vector<std::string> log;
};

TEST(SetUpCharacter, LoadsMicAndPutsItByTheWindowsCorner)
{
    struct Placement {
        float leftTwips, topTwips;
        const char *moveTo; // null: an overflow
    };
    const Placement placements[]{
        {1500, 1200, "105 136"}, {491430, 490665, "32767 32767"},
        // Ties to even: 6.5 to 6, 0.5 to 0, 1.5 to 2, -32768.5 to -32768.
        {22.5f, -832.5f, "6 0"}, {0, -817.5f, "5 2"}, {-491602.5f, -492360, "-32768 -32768"},
        // Beyond the 16-bit range, 32767.5 included, and what is no number at all.
        {491437.5f, 0, nullptr}, {-491610, 0, nullptr}, {INFINITY, 0, nullptr}, {0, NAN, nullptr},
    };
    for (const Placement &p : placements) {
        SCOPED_TRACE(std::to_string(p.leftTwips) + ", " + std::to_string(p.topTwips));
        RecordingCharacter character;
        try {
            EXPECT_EQ(&SetUpCharacter(character, p.leftTwips, p.topTwips), &character);
        } catch (const Failure &failure) {
            EXPECT_EQ(failure.number(), Failure::Overflow);
            character.log.push_back("an overflow");
        }
        EXPECT_THAT(character.log,
                    ElementsAre("mic c:\\windows\\msagent\\mic.acs", "mic", p.moveTo ? p.moveTo : "an overflow"));
    }
}

// A stage whose animations end from the event loop, as the real windows' do, and a voice that
// is done with a text when the test says so; both write into one log.
struct RecordingStage : CharacterStage {
    explicit RecordingStage(std::vector<std::string> &log) : log(log) {}
    void MoveFigure(int x, int y) override { log.push_back("move " + std::to_string(x) + "," + std::to_string(y)); }
    void ShowFigure(Done shown) override { log.push_back("show"); later(std::move(shown)); }
    void HideFigure(Done hidden) override { log.push_back("hide"); later(std::move(hidden)); }
    void StartTalking(const std::u16string &text) override { log.push_back("talk " + utf8(text)); }
    void StopTalking() override { log.push_back("stop"); }
    static void later(Done done)
    {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(done), Qt::QueuedConnection);
    }
    std::vector<std::string> &log;
};

struct SlowVoice : Voice {
    explicit SlowVoice(std::vector<std::string> &log) : log(log) {}
    void Say(const std::u16string &text, Said said) override
    {
        log.push_back("say " + utf8(text));
        saying.push_back(std::move(said));
    }
    // Waits until the queue has asked for a text, and ends it as if it had lasted length.
    void finishOne(std::chrono::milliseconds length)
    {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !saying.empty(); }, 30'000));
        RecordingStage::later([said = saying.front(), length] { said(length); });
        saying.pop_front();
    }
    std::vector<std::string> &log;
    std::deque<Said> saying;
};

TEST(QueuedCharacter, SaysEachTextWholeInOrderAndNeverHoldsUpTheKeys)
{
    int noArguments = 0;
    QCoreApplication application(noArguments, nullptr); // the queue runs on its event loop
    std::vector<std::string> log;
    auto voice = std::make_unique<SlowVoice>(log);
    SlowVoice &slowVoice = *voice;
    QueuedCharacter character(std::make_unique<RecordingStage>(log), std::move(voice), 0ms);
    CharacterSpeaker speaker(character);

    character.MoveTo(105, 136);
    speaker.SayAloud(u"が");
    speaker.SayAloud(u"っ");
    EXPECT_TRUE(log.empty()) << "a request was carried out inside the call that made it";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !slowVoice.saying.empty(); }, 30'000));
    // A key pressed while the voice speaks is handled at once; its request queues behind.
    bool keyHandled = false;
    RecordingStage::later([&] {
        keyHandled = true;
        speaker.SayAloud(u"う");
    });
    QCoreApplication::processEvents();
    EXPECT_TRUE(keyHandled);
    slowVoice.finishOne(0ms);
    slowVoice.finishOne(0ms);
    // Done at once, as without sound: the balloon stays for as long as the text lasts.
    slowVoice.finishOne(1h);
    for (int i = 0; i < 50; ++i)
        QCoreApplication::processEvents();
    EXPECT_THAT(log, ElementsAre("move 105,136", "show", "talk が", "say が", "stop", "hide", "show", "talk っ",
                                 "say っ", "stop", "hide", "show", "talk う", "say う"));
}

TEST(SpeechText, ReadsWhatWouldBeSilentByNameAndBreaksLinesWithPauses)
{
    const std::pair<std::u16string, std::string> readings[]{
        {u"、", "てん"}, {u"。", "まる"}, {u"\u3000", "くうはく"}, {u"\r\n", "かいぎょう"},
        {u"っ", "ちいさい つ"}, {u"ゎ", "ちいさい わ"}, {u"０", "ぜろ"}, {u"４", "よん"}, {u"７", "なな"},
        {u"９", "きゅう"}, {u"っ\r\n。", "ちいさい つ、かいぎょう、まる"}, {u"１２３ａ", "123a"},
        {u"がっこう", "がっこう"}, {u"ふぁくゎ", "ふあくわ"}, {u"らーめん", "らーめん"},
        {u"あい\r\nうえ\nお", "あい[400]うえ[400]お"}, {u"あ\r\n\r\nい", "あ[800]い"},
        {u"あ\r\n\r\n\r\n\r\n\r\nい", "あ[1200]い"}, {u"あ\U0002000B\xD800", "あ\U0002000B\uFFFD"},
    };
    for (const auto &[text, expected] : readings) {
        std::string reading; // each pause after a chunk in brackets
        for (const auto &[chunk, pause] : SpeechChunks(text))
            reading += chunk + (pause > 0ms ? "[" + std::to_string(pause.count()) + "]" : "");
        EXPECT_EQ(reading, expected);
    }
}

} // namespace
} // namespace hiragana
