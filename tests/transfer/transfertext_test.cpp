#include "engineharness.h"
#include "keyactions.h"
#include "keytable.h"
#include "recordingdesktop.h"
#include "transfertext.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace hiragana;
using hiragana::testing::EngineHarness;
using hiragana::testing::RecordingDesktop;
using Answer = RecordingDesktop::Answer;
using Step = RecordingDesktop::Step;

namespace {

const std::u16string Word = u"Microsoft Word";

const KeyRecord &keyWithRole(KeyRole role)
{
    return *std::find_if(KeyTable.begin(), KeyTable.end(), [role](const KeyRecord &key) { return key.role == role; });
}

const KeyRecord &kanaKey(std::u16string_view produces)
{
    return *std::find_if(KeyTable.begin(), KeyTable.end(),
                         [produces](const KeyRecord &key) { return key.produces == produces; });
}

Step noTargetBox()
{
    return {"box", u"転送先がありません\r\n\u3000※まずは新規のものを選択してみてください", 16, u"入力エラー"};
}

struct Transfer : ::testing::Test {
    Transfer()
    {
        h.startWith(u"がっこう\r\nへ");
        h.state.TargetTitle = Word;
    }

    EngineHarness h;
    RecordingDesktop desktop;
};

TEST_F(Transfer, ActivatesLetsEventsRunThenTypesTheText)
{
    TransferText(h.state, desktop);

    EXPECT_EQ(desktop.steps, (std::vector<Step>{{"activate", Word}, {"events"}, {"send", u"がっこう\r\nへ"}}));
}

struct FailureCase {
    const char *name;
    Answer activation;
    Answer sending;
    std::vector<std::string> steps;
};

// Test listings show the case's name rather than its bytes.
void PrintTo(const FailureCase &failure, std::ostream *out) { *out << failure.name; }

class TransferFailure : public Transfer, public ::testing::WithParamInterface<FailureCase> {};

// However a step fails, the events still run, nothing is typed after a failed activation,
// and exactly one box says so.
TEST_P(TransferFailure, EndsInOneBox)
{
    desktop.activation = GetParam().activation;
    desktop.sending = GetParam().sending;

    TransferText(h.state, desktop);

    EXPECT_EQ(desktop.names(), GetParam().steps);
    EXPECT_EQ(desktop.steps.back(), noTargetBox());
}

INSTANTIATE_TEST_SUITE_P(
    Steps, TransferFailure,
    ::testing::Values(
        FailureCase{"ActivationFails", Answer::Fail, Answer::Succeed, {"activate", "events", "box"}},
        FailureCase{"ActivationThrows", Answer::Throw, Answer::Succeed, {"activate", "events", "box"}},
        FailureCase{"SendingFails", Answer::Succeed, Answer::Fail, {"activate", "events", "send", "box"}},
        FailureCase{"SendingThrows", Answer::Succeed, Answer::Throw, {"activate", "events", "send", "box"}},
        FailureCase{"BothWouldFail", Answer::Fail, Answer::Fail, {"activate", "events", "box"}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Transfer, SendsTheTextAsItIsAfterThePendingEvents)
{
    // The user chose う and clicked "かくてい" just before "てんそう"; that click waits in the queue.
    KeyActions actions(h.engine, h.state, h.speaker);
    actions.Click(kanaKey(u"う"));
    desktop.duringEvents = [&] { actions.Click(keyWithRole(KeyRole::Confirm)); };

    TransferText(h.state, desktop);

    EXPECT_EQ(desktop.steps.at(2), (Step{"send", u"がっこう\r\nへう"}));
}

TEST_F(Transfer, AQueuedTransferClickRunsAWholeTransferInside)
{
    KeyActions actions(h.engine, h.state, h.speaker, [&] { TransferText(h.state, desktop); });
    bool queued = true;
    desktop.duringEvents = [&] {
        if (std::exchange(queued, false))
            actions.Click(keyWithRole(KeyRole::Transfer));
    };

    actions.Click(keyWithRole(KeyRole::Transfer));

    EXPECT_EQ(desktop.names(), (std::vector<std::string>{"activate", "events", "activate", "events", "send", "send"}));
}

TEST_F(Transfer, ClearsNothingSoTheSameTextCanGoAgain)
{
    h.state.PendingKana = u"ぬ";
    const Hiramod before = h.state;

    TransferText(h.state, desktop);
    TransferText(h.state, desktop);

    EXPECT_EQ(desktop.steps.at(2), (Step{"send", before.CommittedText}));
    EXPECT_EQ(desktop.steps.at(5), (Step{"send", before.CommittedText}));
    EXPECT_EQ(h.state.CommittedText, before.CommittedText);
    EXPECT_EQ(h.state.PendingKana, before.PendingKana);
    EXPECT_EQ(h.state.TargetTitle, before.TargetTitle);
    EXPECT_EQ(h.editor.text, before.CommittedText);
}

TEST_F(Transfer, AnEmptyTextStillActivatesAndShowsNoBox)
{
    h.startWith(u"");

    TransferText(h.state, desktop);

    EXPECT_EQ(desktop.names(), (std::vector<std::string>{"activate", "events", "send"}));
    EXPECT_EQ(desktop.steps.at(2).text, u"");
}

TEST_F(Transfer, GoesToTheChosenTarget)
{
    h.state.TargetTitle = u"メールを\u3000書く";

    TransferText(h.state, desktop);

    EXPECT_EQ(desktop.steps.front(), (Step{"activate", u"メールを\u3000書く"}));
}

} // namespace
