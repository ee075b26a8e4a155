#include "keytable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <string>

using namespace hiragana;

namespace {

const KeyRecord &key(int number) { return KeyTable.at(number - 1); }

bool isWide(int number) { return number == 65 || number == 67 || number == 70; }
bool isFullWidthDigit(std::u16string_view s) { return s.size() == 1 && s[0] >= u'０' && s[0] <= u'９'; }

TEST(KeyTable, NamesAndTabOrderFollowTheKeyNumbers)
{
    ASSERT_EQ(KeyTable.size(), 70u);
    for (int n = 1; n <= 70; ++n) {
        EXPECT_EQ(key(n).name, "Command" + std::to_string(n));
        EXPECT_EQ(key(n).tabIndex, n);
    }
}

TEST(KeyTable, CommandKeysHaveTheirRoles)
{
    const std::array<std::pair<int, KeyRole>, 7> commands{{
        {47, KeyRole::VoicedMark}, {48, KeyRole::SemiVoicedMark}, {63, KeyRole::BackSpace},
        {64, KeyRole::NewLine}, {65, KeyRole::Confirm}, {67, KeyRole::Transfer},
        {70, KeyRole::ReadAloud},
    }};
    for (int n = 1; n <= 70; ++n) {
        const auto command = std::ranges::find(commands, n, &std::pair<int, KeyRole>::first);
        EXPECT_EQ(key(n).role, command == commands.end() ? KeyRole::KanaKey : command->second) << n;
    }
}

TEST(KeyTable, KanaKeysProduceOneDistinctCodeUnitEach)
{
    std::set<std::u16string_view> produced;
    for (const KeyRecord &k : KeyTable) {
        if (k.role != KeyRole::KanaKey) {
            EXPECT_TRUE(k.produces.empty()) << k.name;
            continue;
        }
        EXPECT_EQ(k.produces.size(), 1u) << k.name;
        produced.insert(k.produces);
        if (k.name != "Command62") {
            EXPECT_EQ(k.caption, k.produces) << k.name;
        }
    }
    EXPECT_EQ(produced.size(), 63u);
    EXPECT_EQ(key(62).caption, u"");
    EXPECT_EQ(key(62).produces, u"\u3000");
}

TEST(KeyTable, CaptionsUseTheExactCharacters)
{
    EXPECT_EQ(key(47).caption, u" \u309B");
    EXPECT_EQ(key(48).caption, u" \u309C");
    EXPECT_EQ(key(63).caption, u"\u2190");
    EXPECT_EQ(key(64).caption, u"\u2193");
    EXPECT_EQ(key(65).caption, u"かくてい");
    EXPECT_EQ(key(67).caption, u"てんそう");
    EXPECT_EQ(key(70).caption, u"よむ");
    EXPECT_EQ(key(68).produces, u"\u3002");
    EXPECT_EQ(key(69).produces, u"\u3001");
    const std::u16string_view small = u"\u3083\u3085\u3087\u3063";
    for (int n : {49, 50, 51, 66})
        EXPECT_NE(small.find(key(n).produces), std::u16string_view::npos) << n;
    // The digits read １ to ９ then ０, full width.
    for (int n = 52; n <= 61; ++n)
        EXPECT_EQ(key(n).produces[0], n == 61 ? u'\uFF10' : char16_t(u'\uFF11' + (n - 52))) << n;
    for (const KeyRecord &k : KeyTable)
        EXPECT_LE(k.caption.size(), 4u) << k.name;
}

TEST(KeyTable, FiveKeysDoNotShowFocus)
{
    for (int n = 1; n <= 70; ++n) {
        const bool hidesFocus = n == 63 || n == 64 || n == 65 || n == 67 || n == 70;
        EXPECT_EQ(key(n).showsFocus, !hidesFocus) << n;
    }
}

TEST(KeyTable, SizeAndFontFollowTheCaption)
{
    for (int n = 1; n <= 70; ++n) {
        const KeyRecord &k = key(n);
        const bool smallKana = k.caption.size() == 1 && std::u16string_view(u"ゃゅょっ").find(k.caption[0]) != std::u16string_view::npos;
        EXPECT_EQ(k.fontPoints, isWide(n) ? 24.0 : smallKana ? 26.25 : 36.0) << n;
        EXPECT_EQ(k.width, isWide(n) ? 1935 : 975) << n;
        EXPECT_EQ(k.height, 975) << n;
    }
}

TEST(KeyTable, FaceColourFollowsTheKindOfKey)
{
    for (const KeyRecord &k : KeyTable) {
        std::uint32_t expected = FaceColour::Yellow;
        if (isFullWidthDigit(k.produces))
            expected = FaceColour::Green;
        else if (k.produces == u"。" || k.produces == u"、")
            expected = FaceColour::Pink;
        else if (k.role == KeyRole::Confirm)
            expected = FaceColour::Orange;
        else if (k.role == KeyRole::Transfer || k.role == KeyRole::ReadAloud)
            expected = FaceColour::Blue;
        EXPECT_EQ(k.faceColour, expected) << k.name;
    }
}

// The keyboard as the user sees it: key numbers by row and column, 0 for an empty cell.
constexpr std::array<int, 12> Columns{120, 1080, 2160, 3120, 4080, 5040, 6000, 6960, 7920, 8880, 9840, 10800};
constexpr std::array<std::pair<int, std::array<int, 12>>, 8> Grid{{
    {120,  {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 63, 64}},
    {1200, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 65, 0}},
    {2280, {48, 47, 44, 39, 36, 31, 26, 21, 16, 11, 6, 1}},
    {3240, {66, 49, 45, 40, 0, 32, 27, 22, 17, 12, 7, 2}},
    {4200, {69, 50, 46, 41, 37, 33, 28, 23, 18, 13, 8, 3}},
    {5160, {68, 51, 62, 42, 0, 34, 29, 24, 19, 14, 9, 4}},
    {6120, {0, 0, 0, 43, 38, 35, 30, 25, 20, 15, 10, 5}},
    {7200, {70, 0, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61}},
}};

TEST(KeyTable, EveryKeySitsInItsGridCell)
{
    std::set<int> placed;
    for (const auto &[top, row] : Grid) {
        for (std::size_t column = 0; column < Columns.size(); ++column) {
            if (row[column] == 0)
                continue;
            EXPECT_EQ(key(row[column]).left, Columns[column]) << row[column];
            EXPECT_EQ(key(row[column]).top, top) << row[column];
            placed.insert(row[column]);
        }
    }
    // The transfer key sits 120 twips lower than its row, just above the read-aloud key.
    EXPECT_EQ(key(67).left, 120);
    EXPECT_EQ(key(67).top, 6240);
    placed.insert(67);
    EXPECT_EQ(placed.size(), 70u);
}

TEST(KeyTable, NeighboursOverlapByOnePixelAtMost)
{
    for (const KeyRecord &a : KeyTable) {
        for (const KeyRecord &b : KeyTable) {
            if (&a == &b)
                continue;
            const int overlapX = std::min(a.left + a.width, b.left + b.width) - std::max(a.left, b.left);
            const int overlapY = std::min(a.top + a.height, b.top + b.height) - std::max(a.top, b.top);
            EXPECT_FALSE(overlapX > 15 && overlapY > 15) << a.name << " covers " << b.name;
        }
    }
}

} // namespace
