#include "engineharness.h"
#include "keyactions.h"
#include "keytable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace hiragana;
using hiragana::testing::EngineHarness;

namespace {

// What one click does from a state in which every role leaves a different trace: the engine
// last left あか, the user has typed x after it, は is pending and か was confirmed last.
struct Outcome {
    std::u16string text;
    std::u16string pending;
    std::vector<std::u16string> said;
    int transfers = 0;
};

Outcome expectedOutcome(const KeyRecord &key)
{
    switch (key.role) {
    case KeyRole::KanaKey: return {u"あかx", std::u16string(key.produces), {}};
    case KeyRole::VoicedMark: return {u"あかx", u"ば", {}};
    case KeyRole::SemiVoicedMark: return {u"あかx", u"ぱ", {}};
    case KeyRole::BackSpace: return {u"あか", u"は", {}};
    case KeyRole::NewLine: return {u"あか\r\n", u"は", {}};
    case KeyRole::Confirm: return {u"あかは", u"", {u"は"}};
    case KeyRole::Transfer: return {u"あかx", u"は", {}, 1};
    // Read-aloud says the engine's copy, not what was typed into the text box.
    case KeyRole::ReadAloud: return {u"あかx", u"は", {u"あか"}};
    }
    return {};
}

TEST(KeyActions, EveryKeyRunsTheOperationOfItsRole)
{
    for (const KeyRecord &key : KeyTable) {
        SCOPED_TRACE(std::string(key.name));
        EngineHarness h;
        int transfers = 0;
        KeyActions actions(h.engine, h.state, h.speaker, [&] { ++transfers; });
        h.startWith(u"あか");
        h.editor.userTypes(u"x");
        h.state.PendingKana = u"は";
        h.state.LastConfirmed = u"か";

        actions.Click(key);

        const Outcome expected = expectedOutcome(key);
        EXPECT_EQ(h.editor.text, expected.text);
        EXPECT_EQ(h.state.PendingKana, expected.pending);
        EXPECT_EQ(h.speaker.said, expected.said);
        EXPECT_EQ(transfers, expected.transfers);
    }
}

TEST(KeyActions, TransferWithoutAnActionDoesNothing)
{
    EngineHarness h;
    KeyActions actions(h.engine, h.state, h.speaker);
    h.startWith(u"あ");
    actions.Click(KeyTable[67 - 1]);
    EXPECT_EQ(h.editor.text, u"あ");
    EXPECT_EQ(h.editor.textWrites, 0);

    int transfers = 0;
    actions.setTransfer([&] { ++transfers; });
    actions.Click(KeyTable[67 - 1]);
    EXPECT_EQ(transfers, 1);
}

TEST(KeyActions, ReadAloudSaysAnEmptyTextToo)
{
    EngineHarness h;
    KeyActions actions(h.engine, h.state, h.speaker);
    actions.Click(KeyTable[70 - 1]);
    EXPECT_EQ(h.speaker.said, std::vector<std::u16string>{u""});
}

} // namespace
