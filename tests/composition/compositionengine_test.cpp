#include "engineharness.h"
#include "failure.h"
#include "utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace hiragana;
using hiragana::testing::EngineHarness;
using hiragana::testing::utf8;

namespace {

const std::u16string Emoji = u"\U0001F600"; // one character, a surrogate pair

// Runs a line of key presses separated by spaces: "かくてい" confirms, "←" and "↓" are back-space
// and new line, "゛" and "゜" the mark keys; anything else is chosen as a kana.
void press(EngineHarness &h, std::u16string_view keys)
{
    while (!keys.empty()) {
        const auto end = std::min(keys.find(u' '), keys.size());
        const std::u16string_view key = keys.substr(0, end);
        keys.remove_prefix(std::min(end + 1, keys.size()));
        if (key == u"かくてい")
            h.engine.Confirm();
        else if (key == u"←")
            h.engine.BackSpace();
        else if (key == u"↓")
            h.engine.NewLine();
        else if (key == u"゛")
            h.engine.AddVoicedMark();
        else if (key == u"゜")
            h.engine.AddSemiVoicedMark();
        else
            h.engine.ChooseKana(key);
    }
}

// --- Walkthroughs: a line of presses from the start, and what the user sees and hears ----------

struct Walkthrough {
    std::u16string keys;
    std::u16string text;
    std::vector<std::u16string> said;
};

void PrintTo(const Walkthrough &w, std::ostream *os) { *os << utf8(w.keys); }

class WalkthroughTest : public ::testing::TestWithParam<Walkthrough> {};

TEST_P(WalkthroughTest, GivesTextAndSpeech)
{
    EngineHarness h;
    press(h, GetParam().keys);
    EXPECT_EQ(h.editor.text, GetParam().text);
    EXPECT_EQ(h.state.CommittedText, GetParam().text);
    EXPECT_EQ(h.speaker.said, GetParam().said);
    EXPECT_EQ(h.state.VoicedPending, 0);
    if (h.state.PendingKana.empty()) {
        EXPECT_EQ(h.state.ReplaceLast, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(EditingKeys, WalkthroughTest, ::testing::Values(
    Walkthrough{u"かくてい", u"", {}},
    Walkthrough{u"↓", u"\r\n", {}},
    Walkthrough{u"か き かくてい", u"き", {u"き"}},
    Walkthrough{u"か かくてい かくてい", u"か", {u"か"}},
    Walkthrough{u"か かくてい ←", u"", {u"か"}},
    // A line break goes as a whole: no stray carriage return is left behind.
    Walkthrough{u"か かくてい ↓ ←", u"か", {u"か"}},
    Walkthrough{u"あ かくてい い ← かくてい", u"い", {u"あ", u"い"}},
    Walkthrough{u"あ ↓ かくてい", u"\r\nあ", {u"あ"}}));

INSTANTIATE_TEST_SUITE_P(VoicingMarks, WalkthroughTest, ::testing::Values(
    Walkthrough{u"か ゛ かくてい", u"が", {u"が"}},
    Walkthrough{u"あ かくてい か かくてい ゛ かくてい", u"あが", {u"あ", u"か", u"が"}},
    Walkthrough{u"は かくてい ゛ ゜ かくてい", u"ぱ", {u"は", u"ぱ"}},
    Walkthrough{u"は かくてい ゜ ゛ かくてい", u"ば", {u"は", u"ば"}},
    Walkthrough{u"は かくてい ゛ ゛ かくてい", u"ば", {u"は", u"ば"}},
    Walkthrough{u"は ゛ ゜ かくてい", u"", {}},
    Walkthrough{u"ひ かくてい は ゛ ゜ かくてい", u"ぴ", {u"ひ", u"ぴ"}},
    Walkthrough{u"あ かくてい か ゛ ゛ かくてい", u"あ", {u"あ"}},
    Walkthrough{u"゛ ゜ かくてい", u"", {}},
    Walkthrough{u"う ゛ かくてい", u"", {}},
    Walkthrough{u"は かくてい か ゜ かくてい", u"ぱ", {u"は", u"ぱ"}},
    Walkthrough{u"か かくてい ゛ き ゛ かくてい", u"ぎ", {u"か", u"ぎ"}},
    Walkthrough{u"か かくてい ゛ あ かくてい", u"あ", {u"か", u"あ"}},
    Walkthrough{u"か かくてい ← ゛ かくてい", u"が", {u"か", u"が"}},
    // A replacement takes whatever is last, a line break included.
    Walkthrough{u"か かくてい ゛ ↓ かくてい", u"かが", {u"か", u"が"}}));

// --- The three composition states under each editing key ---------------------------------------

enum class Composition { Idle, Pending, PendingReplacement };
enum class Key { Choose, Confirm, BackSpace, NewLine };

struct Transition {
    Composition before;
    Key key;
    std::u16string pendingAfter;
    std::int16_t replaceLastAfter;
    std::u16string textAfter;
};

void PrintTo(const Transition &t, std::ostream *os)
{
    static constexpr const char *states[]{"Idle", "Pending", "PendingReplacement"};
    static constexpr const char *keys[]{"ChooseKana", "Confirm", "BackSpace", "NewLine"};
    *os << states[int(t.before)] << "_" << keys[int(t.key)];
}

class StateTableTest : public ::testing::TestWithParam<Transition> {};

// Every state starts from the text あか, with か confirmed last.
void enter(EngineHarness &h, Composition state)
{
    press(h, u"あ かくてい か かくてい");
    if (state == Composition::Pending)
        press(h, u"さ");
    else if (state == Composition::PendingReplacement)
        press(h, u"゛");
}

TEST_P(StateTableTest, MovesToTheNextState)
{
    const Transition &t = GetParam();
    EngineHarness h;
    enter(h, t.before);
    switch (t.key) {
    case Key::Choose: h.engine.ChooseKana(u"し"); break;
    case Key::Confirm: h.engine.Confirm(); break;
    case Key::BackSpace: h.engine.BackSpace(); break;
    case Key::NewLine: h.engine.NewLine(); break;
    }
    EXPECT_EQ(h.state.PendingKana, t.pendingAfter);
    EXPECT_EQ(h.state.ReplaceLast, t.replaceLastAfter);
    EXPECT_EQ(h.editor.text, t.textAfter);
}

using enum Composition;
using enum Key;
INSTANTIATE_TEST_SUITE_P(AllStates, StateTableTest, ::testing::Values(
    Transition{Idle, Choose, u"し", 0, u"あか"},
    Transition{Idle, Confirm, u"", 0, u"あか"},
    Transition{Idle, BackSpace, u"", 0, u"あ"},
    Transition{Idle, NewLine, u"", 0, u"あか\r\n"},
    Transition{Pending, Choose, u"し", 0, u"あか"},
    Transition{Pending, Confirm, u"", 0, u"あかさ"},
    Transition{Pending, BackSpace, u"さ", 0, u"あ"},
    Transition{Pending, NewLine, u"さ", 0, u"あか\r\n"},
    Transition{PendingReplacement, Choose, u"し", 1, u"あか"},
    Transition{PendingReplacement, Confirm, u"", 0, u"あが"},
    Transition{PendingReplacement, BackSpace, u"が", 1, u"あ"},
    Transition{PendingReplacement, NewLine, u"が", 1, u"あか\r\n"}));

// --- The editor's own text (focus, caret and what changes nothing: the random sessions) --------

// The editor holds か then "abc" typed by the user, while the engine last left it at か.
// Appending confirms and new lines build on the engine's copy and overwrite the typing;
// back-space and a replacing confirm work on the editor's text and keep it.
struct AfterTyping {
    std::u16string keys;
    std::u16string text;
};

void PrintTo(const AfterTyping &a, std::ostream *os) { *os << utf8(a.keys); }

class TypedIntoEditorTest : public ::testing::TestWithParam<AfterTyping> {};

TEST_P(TypedIntoEditorTest, KeysTakeTheEditorTextOrTheirOwnCopy)
{
    EngineHarness h;
    press(h, u"か かくてい");
    h.editor.userTypes(u"abc");
    press(h, GetParam().keys);
    EXPECT_EQ(h.editor.text, GetParam().text);
    EXPECT_EQ(h.state.CommittedText, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(EditingKeys, TypedIntoEditorTest, ::testing::Values(
    AfterTyping{u"き かくてい", u"かき"},
    AfterTyping{u"↓", u"か\r\n"},
    AfterTyping{u"←", u"かab"},
    AfterTyping{u"゛ かくてい", u"かabが"}));

TEST(CompositionEngine, SpeechComesAfterTheEditorShowsTheText)
{
    EngineHarness h;
    h.startWith(u"あ");
    h.speaker.onSay = [&](const std::u16string &) {
        EXPECT_EQ(h.editor.text, u"あか");
        EXPECT_EQ(h.state.PendingKana, u"か");
        throw Failure(Failure::DeviceUnavailable, "speech component gone");
    };
    press(h, u"か");
    EXPECT_THROW(h.engine.Confirm(), Failure);
    // The failure ends the program; until then the state is as the speech found it.
    EXPECT_EQ(h.editor.text, u"あか");
    EXPECT_EQ(h.state.PendingKana, u"か");
    EXPECT_EQ(h.state.LastConfirmed, u"");
}

// --- Back-space removes one character as the user sees it --------------------------------------

struct Trim {
    std::u16string before;
    std::u16string after;
};

void PrintTo(const Trim &t, std::ostream *os) { *os << ::testing::PrintToString(t.before); }

class TrimTest : public ::testing::TestWithParam<Trim> {};

TEST_P(TrimTest, BackSpaceAndReplacingConfirmRemoveTheSameCharacter)
{
    EngineHarness back;
    back.startWith(GetParam().before);
    back.engine.BackSpace();
    EXPECT_EQ(back.editor.text, GetParam().after);
    EXPECT_EQ(back.state.CommittedText, GetParam().after);
    EXPECT_EQ(back.state.TextLength, GetParam().before.size());

    EngineHarness replace;
    replace.startWith(GetParam().before);
    replace.state.PendingKana = u"が";
    replace.state.ReplaceLast = 1;
    replace.engine.Confirm();
    EXPECT_EQ(replace.editor.text, GetParam().after + u"が");
}

INSTANTIATE_TEST_SUITE_P(Characters, TrimTest, ::testing::Values(
    Trim{u"か", u""},
    Trim{u"あか", u"あ"},
    Trim{u"a\r\n", u"a"},
    Trim{u"\r\n\r\n", u"\r\n"},
    Trim{u"a\r", u"a"},
    Trim{u"a\n", u"a"},
    Trim{u"\n\r", u"\n"},
    Trim{u"a" + Emoji, u"a"},
    Trim{Emoji + Emoji, Emoji},
    Trim{u"\r" + Emoji, u"\r"},
    // Already broken halves go one code unit at a time.
    Trim{u"a\xD83D", u"a"},
    Trim{u"a\xDE00", u"a"},
    Trim{u"\xDE00\xD83D", u"\xDE00"}));

// No length limit: the lengths around the old 16-bit limit and far beyond it.
class LongTextTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(LongTextTest, TrimsTheLastCharacterAtAnyLength)
{
    const std::size_t length = GetParam();
    for (const std::u16string &ending : {std::u16string(u"x"), std::u16string(u"\r\n"), Emoji}) {
        const std::u16string body(length - ending.size(), u'あ');
        EngineHarness back;
        back.startWith(body + ending);
        back.engine.BackSpace();
        EXPECT_EQ(back.state.TextLength, length);
        EXPECT_TRUE(back.editor.text == body && back.state.CommittedText == body);
        EXPECT_EQ(back.editor.caret, body.size());

        EngineHarness replace;
        replace.startWith(body + ending);
        replace.state.PendingKana = u"が";
        replace.state.ReplaceLast = 1;
        replace.engine.Confirm();
        EXPECT_TRUE(replace.editor.text == body + u"が");
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongTextTest, ::testing::Values(32767, 32768, 1'000'000));

} // namespace
