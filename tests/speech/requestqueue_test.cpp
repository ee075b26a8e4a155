#include "characterspeaker.h"
#include "espeakvoice.h"
#include "queuedcharacter.h"
#include "speechworker.h"

#include <QCoreApplication>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace hiragana {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int Patience = 30'000; // ms; only a broken queue ever waits this long

std::string Utf8(const std::u16string &text) { return QString::fromStdU16String(text).toStdString(); }

// Finishes each animation from the event loop, as the real windows do.
class RecordingStage : public CharacterStage {
public:
    explicit RecordingStage(std::vector<std::string> &log) : m_log(log) {}

    void MoveFigure(int x, int y) override { m_log.push_back("move " + std::to_string(x) + "," + std::to_string(y)); }
    void ShowFigure(Done shown) override
    {
        m_log.push_back("show");
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(shown), Qt::QueuedConnection);
    }
    void HideFigure(Done hidden) override
    {
        m_log.push_back("hide");
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(hidden), Qt::QueuedConnection);
    }
    void StartTalking(const std::u16string &text) override { m_log.push_back("talk " + Utf8(text)); }
    void StopTalking() override { m_log.push_back("stop"); }

private:
    std::vector<std::string> &m_log;
};

// A voice that takes as long as the test wants: each text is said when the test says so.
class SlowVoice : public Voice {
public:
    explicit SlowVoice(std::vector<std::string> &log) : m_log(log) {}

    void Say(const std::u16string &text, Said said) override
    {
        m_log.push_back("say " + Utf8(text));
        m_saying.push_back(std::move(said));
    }

    std::size_t Saying() const { return m_saying.size(); }

    void FinishOne(std::chrono::milliseconds length = 0ms)
    {
        ASSERT_FALSE(m_saying.empty());
        QMetaObject::invokeMethod(QCoreApplication::instance(),
                                  [said = std::move(m_saying.front()), length] { said(length); },
                                  Qt::QueuedConnection);
        m_saying.pop_front();
    }

private:
    std::vector<std::string> &m_log;
    std::deque<Voice::Said> m_saying;
};

void RunPendingEvents()
{
    for (int i = 0; i < 50; ++i)
        QCoreApplication::processEvents();
}

class RequestQueue : public ::testing::Test {
protected:
    RequestQueue()
    {
        auto voice = std::make_unique<SlowVoice>(log);
        this->voice = voice.get();
        character = std::make_unique<QueuedCharacter>(std::make_unique<RecordingStage>(log), std::move(voice), 0ms);
        speaker.setCharacter(*character);
    }

    void FinishSpeaking()
    {
        ASSERT_TRUE(QTest::qWaitFor([this] { return voice->Saying() == 1; }, Patience));
        voice->FinishOne();
    }

    std::vector<std::string> log;
    SlowVoice *voice = nullptr;
    std::unique_ptr<QueuedCharacter> character;
    CharacterSpeaker speaker;
};

TEST_F(RequestQueue, TwoConfirmsAndAReadAloudAreThreeWholeSequencesInOrder)
{
    speaker.SayAloud(u"が");
    speaker.SayAloud(u"っ");
    speaker.SayAloud(u"");
    EXPECT_THAT(log, IsEmpty()) << "a request was carried out inside the call that made it";

    for (int i = 0; i < 3; ++i)
        FinishSpeaking();
    ASSERT_TRUE(QTest::qWaitFor([this] { return log.size() == 15; }, Patience));
    RunPendingEvents();

    EXPECT_THAT(log, ElementsAre("show", "talk が", "say が", "stop", "hide",     //
                                 "show", "talk っ", "say っ", "stop", "hide",     //
                                 "show", "talk ", "say ", "stop", "hide"));
}

TEST_F(RequestQueue, TheEventLoopRunsOnWhileTheVoiceSpeaks)
{
    speaker.SayAloud(u"が");
    speaker.SayAloud(u"い");
    ASSERT_TRUE(QTest::qWaitFor([this] { return voice->Saying() == 1; }, Patience));

    // Keys pressed meanwhile are handled at once, and their requests queue behind.
    bool keyHandled = false;
    QMetaObject::invokeMethod(QCoreApplication::instance(), [&] {
        keyHandled = true;
        speaker.SayAloud(u"う");
    }, Qt::QueuedConnection);
    RunPendingEvents();
    EXPECT_TRUE(keyHandled);
    EXPECT_THAT(log, ElementsAre("show", "talk が", "say が"));

    for (int i = 0; i < 3; ++i)
        FinishSpeaking();
    ASSERT_TRUE(QTest::qWaitFor([this] { return log.size() == 15; }, Patience));
    EXPECT_EQ(log[6], "talk い");
    EXPECT_EQ(log[11], "talk う");
}

TEST_F(RequestQueue, AMoveWhileHiddenComesBeforeTheNextShow)
{
    character->MoveTo(105, 136);
    speaker.SayAloud(u"あ");
    FinishSpeaking();
    ASSERT_TRUE(QTest::qWaitFor([this] { return log.size() == 6; }, Patience));
    EXPECT_THAT(log, ElementsAre("move 105,136", "show", "talk あ", "say あ", "stop", "hide"));
}

// Without sound the voice is done at once; the balloon still stays as long as the text lasts.
TEST_F(RequestQueue, TheBalloonStaysForTheLengthOfTheText)
{
    speaker.SayAloud(u"あいうえお");
    ASSERT_TRUE(QTest::qWaitFor([this] { return voice->Saying() == 1; }, Patience));
    voice->FinishOne(3s);
    RunPendingEvents();
    EXPECT_EQ(log.back(), "say あいうえお") << "stopped talking before the text's time was up";
    ASSERT_TRUE(QTest::qWaitFor([this] { return log.size() == 5; }, Patience));
    EXPECT_EQ(log[3], "stop");
}

TEST_F(RequestQueue, ACharacterGoneWithRequestsStillQueuedLeavesNothingBehind)
{
    speaker.SayAloud(u"あ");
    speaker.SayAloud(u"い");
    character.reset();
    RunPendingEvents();
    EXPECT_THAT(log, IsEmpty());
}

// The real voice answers through the event loop, and not at all once it is gone.
TEST(EspeakVoice, AnswersFromTheEventLoopAndNeverAfterItIsGone)
{
    auto worker = std::make_shared<SpeechWorker>([](int) { return AudioSinks{}; });
    std::vector<std::chrono::milliseconds> answers;
    {
        EspeakVoice voice(worker);
        voice.Say(u"あ", [&](std::chrono::milliseconds length) { answers.push_back(length); });
        EXPECT_THAT(answers, IsEmpty());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !answers.empty(); }, Patience));
        EXPECT_GT(answers[0], 100ms);
    }
    bool lateAnswer = false;
    bool laterVoiceAnswered = false;
    {
        EspeakVoice goneVoice(worker);
        goneVoice.Say(u"あいうえお", [&](std::chrono::milliseconds) { lateAnswer = true; });
    }
    EspeakVoice laterVoice(worker);
    laterVoice.Say(u"い", [&](std::chrono::milliseconds) { laterVoiceAnswered = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return laterVoiceAnswered; }, Patience));
    EXPECT_FALSE(lateAnswer);
}

} // namespace
} // namespace hiragana
