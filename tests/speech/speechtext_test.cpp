#include "speechtext.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace hiragana {

void PrintTo(const SpeechChunk &chunk, std::ostream *out)
{
    *out << '"' << chunk.text << "\" +" << chunk.pauseAfter.count() << "ms";
}

namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;

std::string Utf8Of(const char8_t *text) { return reinterpret_cast<const char *>(text); }

SpeechChunk Chunk(const char8_t *text, std::chrono::milliseconds pause = 0ms) { return {Utf8Of(text), pause}; }

struct Reading {
    std::u16string text;
    const char8_t *read;
};

void PrintTo(const Reading &reading, std::ostream *out)
{
    for (char16_t unit : reading.text)
        *out << "U+" << std::hex << std::uppercase << unsigned(unit) << std::dec << ' ';
    *out << "read as " << Utf8Of(reading.read);
}

class ReadAlone : public ::testing::TestWithParam<Reading> {};

// The voice says nothing, or the wrong sound, for these when they stand alone.
TEST_P(ReadAlone, ByItsNameWhereItsSoundIsNotEnough)
{
    EXPECT_THAT(SpeechChunks(GetParam().text), ElementsAre(Chunk(GetParam().read)));
}

INSTANTIATE_TEST_SUITE_P(
    OneCharacter, ReadAlone,
    ::testing::Values(Reading{u"、", u8"てん"}, Reading{u"。", u8"まる"}, Reading{u"\u3000", u8"くうはく"},
                      Reading{u"っ", u8"ちいさい つ"}, Reading{u"ゃ", u8"ちいさい や"}, Reading{u"ゅ", u8"ちいさい ゆ"},
                      Reading{u"ょ", u8"ちいさい よ"}, Reading{u"ぁ", u8"ちいさい あ"}, Reading{u"０", u8"ぜろ"},
                      Reading{u"１", u8"いち"}, Reading{u"４", u8"よん"}, Reading{u"７", u8"なな"},
                      Reading{u"９", u8"きゅう"}, Reading{u"3", u8"さん"}, Reading{u"\r\n", u8"かいぎょう"},
                      Reading{u"\n", u8"かいぎょう"}, Reading{u"ａ", u8"a"},
                      // what the voice says well stays as it is
                      Reading{u"あ", u8"あ"}, Reading{u"が", u8"が"}, Reading{u"ぱ", u8"ぱ"}, Reading{u"ん", u8"ん"},
                      Reading{u"を", u8"を"}));

INSTANTIATE_TEST_SUITE_P(
    OnlySilentCharacters, ReadAlone,
    ::testing::Values(Reading{u"。。", u8"まる、まる"}, Reading{u"、\r\n", u8"てん、かいぎょう"},
                      Reading{u"っっ", u8"ちいさい つ、ちいさい つ"},
                      Reading{u"\u3000\u3000。", u8"くうはく、くうはく、まる"}, Reading{u"っ。", u8"ちいさい つ、まる"}));

INSTANTIATE_TEST_SUITE_P(
    LongerTexts, ReadAlone,
    ::testing::Values(Reading{u"１２３", u8"123"}, Reading{u"ａｂＣ", u8"abC"}, Reading{u"あ\u3000い", u8"あ い"},
                      Reading{u"がっこう", u8"がっこう"}, Reading{u"きゃく", u8"きゃく"}, Reading{u"ふぁ", u8"ふあ"},
                      Reading{u"あ、い。", u8"あ、い。"}, Reading{u"あ１", u8"あ1"}));

TEST(SpeechChunks, AnEmptyTextIsNothing) { EXPECT_TRUE(SpeechChunks(u"").empty()); }

TEST(SpeechChunks, EachLineBreakEndsAChunkWithAPause)
{
    EXPECT_THAT(SpeechChunks(u"あい\r\nうえ\nお"),
                ElementsAre(Chunk(u8"あい", 400ms), Chunk(u8"うえ", 400ms), Chunk(u8"お")));
}

TEST(SpeechChunks, EmptyLinesLengthenThePauseUpToALimit)
{
    EXPECT_THAT(SpeechChunks(u"あ\r\n\r\nい"), ElementsAre(Chunk(u8"あ", 800ms), Chunk(u8"い")));
    EXPECT_THAT(SpeechChunks(u"あ\r\n\r\n\r\n\r\n\r\nい"), ElementsAre(Chunk(u8"あ", 1200ms), Chunk(u8"い")));
    EXPECT_THAT(SpeechChunks(u"\r\nあ\r\n"), ElementsAre(Chunk(u8"あ", 400ms)));
}

// The voice drops the end of a word of more than about 70 kana without a sound.
TEST(SpeechChunks, LongRunsAreSplitWithoutLosingACharacter)
{
    std::u16string run;
    for (int i = 0; i < 100; ++i)
        run += u"あいうえおかきくけこ"[i % 10];
    const auto chunks = SpeechChunks(run + u"。" + run.substr(0, 30) + u"\u3000" + run.substr(0, 45));
    ASSERT_EQ(chunks.size(), 1u);

    std::size_t kana = 0;
    std::size_t longest = 0;
    std::size_t current = 0;
    const std::string &text = chunks[0].text;
    for (std::size_t i = 0; i < text.size();) {
        const bool breaks = text[i] == ' ' || text.compare(i, 3, Utf8Of(u8"。")) == 0;
        const std::size_t width = text[i] == ' ' ? 1 : 3;
        current = breaks ? 0 : current + 1;
        kana += breaks ? 0 : 1;
        longest = std::max(longest, current);
        i += width;
    }
    EXPECT_EQ(kana, 100u + 30u + 45u);
    EXPECT_LE(longest, 40u);
    EXPECT_GE(longest, 30u) << "broken into needlessly short words";
}

TEST(SpeechChunks, CharactersBeyondTheBasicPlaneSurviveAndBrokenHalvesDoNot)
{
    EXPECT_THAT(SpeechChunks(u"あ\U0002000B"), ElementsAre(Chunk(u8"あ\U0002000B")));
    EXPECT_THAT(SpeechChunks(std::u16string{u'あ', char16_t(0xD800)}), ElementsAre(Chunk(u8"あ\uFFFD")));
}

} // namespace
} // namespace hiragana
