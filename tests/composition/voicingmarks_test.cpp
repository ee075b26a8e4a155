#include "engineharness.h"
#include "utf8.h"

#include <gtest/gtest.h>

#include <string>

using namespace hiragana;
using hiragana::testing::EngineHarness;
using hiragana::testing::utf8;

namespace {

enum class Mark { Voiced, SemiVoiced };

void pressMark(EngineHarness &h, Mark mark)
{
    if (mark == Mark::Voiced)
        h.engine.AddVoicedMark();
    else
        h.engine.AddSemiVoicedMark();
}

// --- One press, from every state a press can find --------------------------------------------

struct Press {
    Mark mark;
    std::u16string pendingBefore;
    std::u16string lastConfirmed;
    std::int16_t replaceLastBefore;
    std::u16string pendingAfter;
    std::int16_t replaceLastAfter;
};

void PrintTo(const Press &p, std::ostream *os)
{
    *os << (p.mark == Mark::Voiced ? "voiced" : "semivoiced") << "_pending" << utf8(p.pendingBefore)
        << "_last" << utf8(p.lastConfirmed) << "_replace" << p.replaceLastBefore;
}

class MarkPressTest : public ::testing::TestWithParam<Press> {};

TEST_P(MarkPressTest, MarksThePendingStringOrElseTheLastConfirmed)
{
    const Press &p = GetParam();
    EngineHarness h;
    h.startWith(u"あか");
    h.state.PendingKana = p.pendingBefore;
    h.state.LastConfirmed = p.lastConfirmed;
    h.state.ReplaceLast = p.replaceLastBefore;

    pressMark(h, p.mark);

    EXPECT_EQ(h.state.PendingKana, p.pendingAfter);
    EXPECT_EQ(h.state.ReplaceLast, p.replaceLastAfter);
    EXPECT_EQ(h.state.VoicedPending, 0);
    EXPECT_EQ(h.state.LastConfirmed, p.lastConfirmed);
    // A mark key never touches the editor and says nothing.
    EXPECT_EQ(h.editor.textWrites, 0);
    EXPECT_EQ(h.editor.focusRequests, 0);
    EXPECT_TRUE(h.speaker.said.empty());
}

using enum Mark;
INSTANTIATE_TEST_SUITE_P(OutcomeTable, MarkPressTest, ::testing::Values(
    // nothing pending
    Press{Voiced, u"", u"か", 0, u"が", 1},
    Press{Voiced, u"", u"あ", 0, u"", 0},
    Press{Voiced, u"", u"が", 0, u"", 0},
    Press{SemiVoiced, u"", u"は", 0, u"ぱ", 1},
    Press{SemiVoiced, u"", u"か", 0, u"", 0},
    // a base pending
    Press{Voiced, u"き", u"あ", 0, u"ぎ", 0},
    Press{Voiced, u"き", u"か", 1, u"ぎ", 1},
    Press{SemiVoiced, u"ひ", u"ほ", 0, u"ぴ", 0},
    // a string without a marked form pending: the last confirmed takes over, or it is dropped
    Press{Voiced, u"あ", u"か", 0, u"が", 1},
    Press{Voiced, u"あ", u"か", 1, u"が", 1},
    Press{SemiVoiced, u"ば", u"は", 0, u"ぱ", 1},
    Press{SemiVoiced, u"か", u"ほ", 1, u"ぽ", 1},
    Press{Voiced, u"う", u"あ", 0, u"", 0},
    Press{SemiVoiced, u"か", u"か", 0, u"", 0},
    Press{Voiced, u"が", u"あ", 1, u"が", 1},
    Press{SemiVoiced, u"ば", u"あ", 1, u"ば", 1}));

// --- The mark tables are closed lists ----------------------------------------------------------

struct MarkRule {
    Mark mark;
    std::u16string_view bases;
    char16_t offset; // the marked form follows its base at this distance in the Hiragana block
};

void PrintTo(const MarkRule &r, std::ostream *os) { *os << (r.mark == Mark::Voiced ? "voiced" : "semivoiced"); }

class MarkTableTest : public ::testing::TestWithParam<MarkRule> {};

TEST_P(MarkTableTest, MarksExactlyItsBasesAndNothingElse)
{
    const MarkRule &rule = GetParam();
    for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
        const auto c = static_cast<char16_t>(unit);
        EngineHarness h;
        h.state.PendingKana = std::u16string(1, c);
        pressMark(h, rule.mark);
        const bool isBase = rule.bases.find(c) != std::u16string_view::npos;
        const std::u16string expected = isBase ? std::u16string(1, char16_t(c + rule.offset)) : u"";
        ASSERT_EQ(h.state.PendingKana, expected) << "code unit " << std::hex << unit;
    }
}

TEST_P(MarkTableTest, MatchesWholeStringsOnly)
{
    for (const std::u16string_view pending : {u"かか", u"か ", u" か", u"\x304B\x3099"}) {
        EngineHarness h;
        h.state.PendingKana = pending;
        pressMark(h, GetParam().mark);
        EXPECT_EQ(h.state.PendingKana, u"");
    }
}

INSTANTIATE_TEST_SUITE_P(BothTables, MarkTableTest, ::testing::Values(
    MarkRule{Voiced, u"かきくけこさしすせそたちつてとはひふへほ", 1},
    MarkRule{SemiVoiced, u"はひふへほ", 2}));

} // namespace
