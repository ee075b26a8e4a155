#include "titlematch.h"
#include "utf8.h"

#include <gtest/gtest.h>

#include <vector>

using namespace hiragana;
using hiragana::testing::utf8;

namespace {

// The same cases hold for X11's UTF-8 titles and Win32's UTF-16 titles.
struct MatchCase {
    const char *name;
    std::vector<TitledWindow<char16_t>> bottomToTop;
    std::u16string title;
    std::optional<std::uintptr_t> chosen;
};

class ChooseTargetTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(ChooseTargetTest, ChoosesAmongUtf16Titles)
{
    EXPECT_EQ(ChooseTarget(GetParam().bottomToTop, GetParam().title), GetParam().chosen);
}

TEST_P(ChooseTargetTest, ChoosesAmongUtf8Titles)
{
    std::vector<TitledWindow<char>> bottomToTop;
    for (const auto &[window, title] : GetParam().bottomToTop)
        bottomToTop.push_back({window, utf8(title)});

    EXPECT_EQ(ChooseTarget(bottomToTop, utf8(GetParam().title)), GetParam().chosen);
}

const std::u16string Word = u"Microsoft Word";
const std::u16string Mail = u"メールを\u3000書く";

INSTANTIATE_TEST_SUITE_P(
    Titles, ChooseTargetTest,
    ::testing::Values(
        MatchCase{"Exact", {{1, u"Notes"}, {2, Word}}, Word, 2},
        MatchCase{"ExactBeatsAHigherPrefix", {{1, Word}, {2, Word + u" - 文書1"}}, Word, 1},
        MatchCase{"PrefixBeatsAHigherSuffix", {{1, Word + u" - 文書1"}, {2, u"文書2 - " + Word}}, Word, 1},
        MatchCase{"Prefix", {{1, u"Notes"}, {2, Word + u" - 文書1"}}, Word, 2},
        MatchCase{"Suffix", {{1, u"文書1 - " + Word}}, Word, 1},
        MatchCase{"MiddleIsNoMatch", {{1, u"文書1 - " + Word + u" (読み取り専用)"}}, Word, std::nullopt},
        MatchCase{"CaseCounts", {{1, u"microsoft word"}, {2, u"MICROSOFT WORD"}}, Word, std::nullopt},
        MatchCase{"NoPatterns", {{1, u"Microsoft.Word"}}, u"Microsoft Word", std::nullopt},
        MatchCase{"DotIsOnlyADot", {{1, u"Microsoft Word"}}, u"Microsoft.Word", std::nullopt},
        MatchCase{"IdeographicSpaceIsNotASpace", {{1, u"メールを 書く"}}, Mail, std::nullopt},
        MatchCase{"JapaneseTitle", {{1, Word}, {2, Mail}}, Mail, 2},
        MatchCase{"JapanesePrefix", {{1, Mail + u" - 下書き"}}, Mail, 1},
        MatchCase{"CharacterBeyondTheBasicPlane", {{1, u"𠮷野家"}, {2, u"𠮷"}}, u"𠮷", 2},
        MatchCase{"TopmostOfEqualTitles", {{1, Word}, {2, Word}, {3, u"Notes"}}, Word, 2},
        MatchCase{"TopmostOfEqualPrefixes", {{1, Word + u" 1"}, {2, Word + u" 2"}}, Word, 2},
        MatchCase{"EmptyTitleMatchesNothing", {{1, Word}, {2, u""}}, u"", std::nullopt},
        MatchCase{"NoWindows", {}, Word, std::nullopt}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
