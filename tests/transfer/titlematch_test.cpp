#include "titlematch.h"

#include <gtest/gtest.h>

#include <vector>

using namespace hiragana::x11;

namespace {

struct MatchCase {
    const char *name;
    std::vector<TitledWindow> bottomToTop;
    std::string title;
    std::optional<unsigned long> chosen;
};

class ChooseTargetTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(ChooseTargetTest, Chooses)
{
    EXPECT_EQ(ChooseTarget(GetParam().bottomToTop, GetParam().title), GetParam().chosen);
}

const std::string Word = "Microsoft Word";
const std::string Mail = "メールを\u3000書く";

INSTANTIATE_TEST_SUITE_P(
    Titles, ChooseTargetTest,
    ::testing::Values(
        MatchCase{"Exact", {{1, "Notes"}, {2, Word}}, Word, 2},
        MatchCase{"ExactBeatsAHigherPrefix", {{1, Word}, {2, Word + " - 文書1"}}, Word, 1},
        MatchCase{"PrefixBeatsAHigherSuffix", {{1, Word + " - 文書1"}, {2, "文書2 - " + Word}}, Word, 1},
        MatchCase{"Prefix", {{1, "Notes"}, {2, Word + " - 文書1"}}, Word, 2},
        MatchCase{"Suffix", {{1, "文書1 - " + Word}}, Word, 1},
        MatchCase{"MiddleIsNoMatch", {{1, "文書1 - " + Word + " (読み取り専用)"}}, Word, std::nullopt},
        MatchCase{"CaseCounts", {{1, "microsoft word"}, {2, "MICROSOFT WORD"}}, Word, std::nullopt},
        MatchCase{"NoPatterns", {{1, "Microsoft.Word"}}, "Microsoft Word", std::nullopt},
        MatchCase{"DotIsOnlyADot", {{1, "Microsoft Word"}}, "Microsoft.Word", std::nullopt},
        MatchCase{"IdeographicSpaceIsNotASpace", {{1, "メールを 書く"}}, Mail, std::nullopt},
        MatchCase{"JapaneseTitle", {{1, Word}, {2, Mail}}, Mail, 2},
        MatchCase{"TopmostOfEqualTitles", {{1, Word}, {2, Word}, {3, "Notes"}}, Word, 2},
        MatchCase{"TopmostOfEqualPrefixes", {{1, Word + " 1"}, {2, Word + " 2"}}, Word, 2},
        MatchCase{"EmptyTitleMatchesNothing", {{1, Word}, {2, ""}}, "", std::nullopt},
        MatchCase{"NoWindows", {}, Word, std::nullopt}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
