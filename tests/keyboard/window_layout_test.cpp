// The pure parts of the window: start-up placement and the text box's line breaks.
#include "linebreaks.h"
#include "startupgeometry.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

using namespace hiragana;

namespace {
// A window manager frame like openbox's: 1 pixel at the sides, a 20-pixel title bar, a
// 5-pixel bottom handle. The window itself: the client area and a 19-pixel menu bar.
const QMargins Frame(1, 20, 1, 5);
const QSize Window(792, 546 + 19);
} // namespace

TEST(StartUpGeometry, CentresTheOuterSizeAsCreatedThenMakesIt9000TwipsHigh)
{
    // 1024 x 768 pixels is 15360 x 11520 twips; the outer size is 794 x 590 pixels.
    const StartUpGeometry geometry = ComputeStartUpGeometry(QRect(0, 0, 1024, 768), Window, Frame);
    EXPECT_FLOAT_EQ(geometry.leftTwips, (15360.0f - 794 * 15) / 2);
    EXPECT_FLOAT_EQ(geometry.topTwips, (11520.0f - 590 * 15) / 2);
    EXPECT_EQ(geometry.frame, QRect(115, 89, 794, 600));
    EXPECT_EQ(geometry.client, QRect(116, 109, 792, 575));
}

TEST(StartUpGeometry, KeepsAFractionOfATwip)
{
    const StartUpGeometry geometry = ComputeStartUpGeometry(QRect(0, 0, 1024, 768), QSize(793, 565), Frame);
    EXPECT_FLOAT_EQ(geometry.leftTwips, 1717.5f);
    EXPECT_EQ(geometry.frame.width(), 795);
}

TEST(StartUpGeometry, AScreenSmallerThanTheWindowGivesNegativePositions)
{
    const StartUpGeometry geometry = ComputeStartUpGeometry(QRect(0, 0, 640, 480), Window, Frame);
    EXPECT_FLOAT_EQ(geometry.leftTwips, -1155.0f);
    EXPECT_FLOAT_EQ(geometry.topTwips, -825.0f);
    EXPECT_EQ(geometry.frame.topLeft(), QPoint(-77, -55));
    EXPECT_EQ(geometry.frame.height(), 600);
}

TEST(StartUpGeometry, UsesTheWholeScreenWhereverItStands)
{
    const StartUpGeometry geometry = ComputeStartUpGeometry(QRect(1024, 0, 1024, 768), Window, Frame);
    EXPECT_EQ(geometry.frame.topLeft(), QPoint(1024 + 115, 89));
}

TEST(StartUpGeometry, WithoutAFrameTheWindowIsItsOwnOuterSize)
{
    const StartUpGeometry geometry = ComputeStartUpGeometry(QRect(0, 0, 1280, 1024), Window, QMargins());
    EXPECT_EQ(geometry.frame, geometry.client);
    EXPECT_EQ(geometry.client, QRect(244, 230, 792, 600));
}

namespace {
struct DocumentCase {
    const char *name;
    std::u16string text;
    QString document;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const DocumentCase &c, std::ostream *os)
{
    *os << c.name;
}

class DocumentText : public testing::TestWithParam<DocumentCase> {};
} // namespace

// The document form, and its raw text (paragraph separators) read back as the same text.
TEST_P(DocumentText, RoundTrips)
{
    const DocumentCase &c = GetParam();
    EXPECT_EQ(ToDocumentText(c.text), c.document);
    QString raw = c.document;
    raw.replace(QChar(u'\n'), QChar::ParagraphSeparator);
    EXPECT_EQ(FromDocumentText(raw), c.text);
}

INSTANTIATE_TEST_SUITE_P(LineBreaks, DocumentText, testing::Values(
    DocumentCase{"Empty", u"", QString()},
    DocumentCase{"Kana", u"がっこう", QStringLiteral("がっこう")},
    DocumentCase{"LineBreak", u"a\r\nb", QStringLiteral("a\nb")},
    DocumentCase{"OnlyALineBreak", u"\r\n", QStringLiteral("\n")},
    DocumentCase{"LoneCarriageReturn", u"a\rb", QStringLiteral("a\u2028b")},
    DocumentCase{"TrailingCarriageReturn", u"a\r", QStringLiteral("a\u2028")},
    DocumentCase{"MixedBreaks", u"\r\r\n\r", QStringLiteral("\u2028\n\u2028")},
    DocumentCase{"SurrogatePairAndSpaces", u"\U00020BB7\u00A0\t", QStringLiteral("\U00020BB7\u00A0\t")}),
    [](const testing::TestParamInfo<DocumentCase> &info) { return std::string(info.param.name); });

TEST(DocumentText, ALoneLineFeedReadsBackAsALineBreak)
{
    EXPECT_EQ(ToDocumentText(u"a\nb"), QStringLiteral("a\nb"));
    EXPECT_EQ(FromDocumentText(QStringLiteral("a\u2029b")), u"a\r\nb");
}

TEST(DocumentText, CountsALineBreakAsOnePosition)
{
    const std::u16string text = u"a\r\nb\rc";
    EXPECT_EQ(DocumentLength(text), 5u);
    const int positions[] = {0, 1, 2, 2, 3, 4, 5};
    for (std::size_t offset = 0; offset <= text.size(); ++offset)
        EXPECT_EQ(DocumentPosition(text, offset), positions[offset]) << "offset " << offset;
    EXPECT_EQ(DocumentPosition(text, 100), 5);
}

TEST(DocumentText, KnowsWhereACutPartsALineBreak)
{
    const std::u16string text = u"a\r\nb\r";
    EXPECT_FALSE(PartsLineBreak(text, 0));
    EXPECT_FALSE(PartsLineBreak(text, 1));
    EXPECT_TRUE(PartsLineBreak(text, 2));
    EXPECT_FALSE(PartsLineBreak(text, 3));
    EXPECT_FALSE(PartsLineBreak(text, 5));
}
