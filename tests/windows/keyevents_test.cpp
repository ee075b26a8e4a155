#include "keyevents.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace hiragana::win32;

namespace {

using Events = std::vector<KeyEvent>;
using Key = KeyEvent::Key;

Events typed(std::u16string_view units)
{
    Events events;
    for (char16_t unit : units) {
        events.push_back({Key::Unit, unit, false});
        events.push_back({Key::Unit, unit, true});
    }
    return events;
}

Events returnKey() { return {{Key::Return, 0, false}, {Key::Return, 0, true}}; }

Events operator+(Events left, const Events &right)
{
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

Events allOf(const std::vector<Events> &batches)
{
    Events events;
    for (const Events &batch : batches)
        events = events + batch;
    return events;
}

struct TextCase {
    const char *name;
    std::u16string text;
    Events events;
};

// Test listings show the case's name rather than its bytes.
void PrintTo(const TextCase &text, std::ostream *out) { *out << text.name; }

class KeyEventsForText : public ::testing::TestWithParam<TextCase> {};

TEST_P(KeyEventsForText, PressAndReleaseEachCharacter)
{
    EXPECT_EQ(allOf(KeyEventBatches(GetParam().text, 1000)), GetParam().events);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, KeyEventsForText,
    ::testing::Values(
        TextCase{"Empty", u"", {}},
        TextCase{"Kana", u"がっこう", typed(u"がっこう")},
        TextCase{"IdeographicSpaceIsAnOrdinaryCharacter", u"\u3000あ", typed(u"\u3000あ")},
        TextCase{"CrLfIsOneReturn", u"あ\r\nい", typed(u"あ") + returnKey() + typed(u"い")},
        TextCase{"LoneCrIsOneReturn", u"あ\rい", typed(u"あ") + returnKey() + typed(u"い")},
        TextCase{"LoneLfIsOneReturn", u"あ\nい", typed(u"あ") + returnKey() + typed(u"い")},
        TextCase{"LfCrIsTwoReturns", u"\n\r", returnKey() + returnKey()},
        TextCase{"CrCrLfIsTwoReturns", u"\r\r\n", returnKey() + returnKey()},
        TextCase{"TrailingCr", u"あ\r", typed(u"あ") + returnKey()},
        TextCase{"SurrogatePairAsItsTwoUnits", u"𠮷や", typed(u"\xD842\xDFB7や")},
        TextCase{"LoneHighSurrogateIsReplaced", u"\xD842あ", typed(u"\uFFFDあ")},
        TextCase{"LoneLowSurrogateIsReplaced", u"あ\xDFB7", typed(u"あ\uFFFD")},
        TextCase{"ReversedPairIsTwoReplacements", u"\xDFB7\xD842", typed(u"\uFFFD\uFFFD")},
        TextCase{"AsciiIsTypedAsUnicodeToo", u"a A\t", typed(u"a A\t")}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(KeyEventBatches, CutsAfterEveryNCharacters)
{
    const auto batches = KeyEventBatches(u"あいうえお", 2);

    EXPECT_EQ(batches, (std::vector<Events>{typed(u"あい"), typed(u"うえ"), typed(u"お")}));
}

TEST(KeyEventBatches, NeverCutsASurrogatePairOrALineBreak)
{
    const auto batches = KeyEventBatches(u"あ𠮷\r\nい", 1);

    EXPECT_EQ(batches, (std::vector<Events>{typed(u"あ"), typed(u"\xD842\xDFB7"), returnKey(), typed(u"い")}));
}

TEST(KeyEventBatches, TreatsABatchSizeOfZeroAsOne)
{
    EXPECT_EQ(KeyEventBatches(u"あい", 0).size(), 2u);
}

TEST(KeyEventBatches, EmptyTextHasNoBatches)
{
    EXPECT_TRUE(KeyEventBatches(u"", 8).empty());
}

} // namespace
