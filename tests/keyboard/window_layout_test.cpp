// Start-up placement on screens other than the test's own, and the text box's line breaks
// where the user cannot make them (a lone CR).
#include "linebreaks.h"
#include "startupgeometry.h"

#include <gtest/gtest.h>

using namespace hiragana;

TEST(StartUpGeometry, CentresTheSizeAsCreatedThenMakesIt9000TwipsHigh)
{
    // An openbox frame (1 pixel at the sides, a 20-pixel title bar, a 5-pixel handle) round the
    // client area and a 19-pixel menu bar.
    const QMargins frame(1, 20, 1, 5);
    struct Case {
        QRect screen;
        QSize window;
        QMargins frame;
        float leftTwips, topTwips;
        QRect outer;
    };
    const Case cases[] = {
        {{0, 0, 1024, 768}, {792, 565}, frame, 1725, 1335, {115, 89, 794, 600}},
        {{0, 0, 1024, 768}, {793, 565}, frame, 1717.5f, 1335, {115, 89, 795, 600}}, // half a pixel
        {{0, 0, 640, 480}, {792, 565}, frame, -1155, -825, {-77, -55, 794, 600}},       // applied as they are
        {{1024, 0, 1024, 768}, {792, 565}, frame, 1725, 1335, {1139, 89, 794, 600}}, // the second screen
        {{0, 0, 1280, 1024}, {792, 565}, {}, 3660, 3442.5f, {244, 230, 792, 600}},
    };
    for (const Case &c : cases) {
        const StartUpGeometry geometry = ComputeStartUpGeometry(c.screen, c.window, c.frame);
        EXPECT_FLOAT_EQ(geometry.leftTwips, c.leftTwips);
        EXPECT_FLOAT_EQ(geometry.topTwips, c.topTwips);
        EXPECT_EQ(geometry.frame, c.outer);
        EXPECT_EQ(geometry.client, c.outer.marginsRemoved(c.frame));
    }
}

TEST(DocumentText, KeepsALoneCarriageReturnApartFromALineBreak)
{
    const std::u16string text = u"a\r\r\nb\r";
    EXPECT_EQ(ToDocumentText(text), QStringLiteral("a\u2028\nb\u2028"));
    EXPECT_EQ(FromDocumentText(QStringLiteral("a\u2028\u2029b\u2028")), text);
    const int positions[] = {0, 1, 2, 3, 3, 4, 5};
    for (std::size_t offset = 0; offset <= text.size(); ++offset)
        EXPECT_EQ(DocumentPosition(text, offset), positions[offset]) << offset;
}
