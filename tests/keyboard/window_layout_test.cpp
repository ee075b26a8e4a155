// Start-up placement on screens other than the end-to-end test's own.
#include "startupgeometry.h"

#include <gtest/gtest.h>

TEST(StartUpGeometry, CentresTheSizeAsCreatedThenMakesIt9000TwipsHigh)
{
    // An openbox frame round a client area and a 19-pixel menu bar.
    const QMargins frame(1, 20, 1, 5);
    struct Case {
        QRect screen;
        int width;
        QMargins frame;
        float leftTwips, topTwips;
        QRect outer;
    } const cases[] = {
        {{0, 0, 1024, 768}, 792, frame, 1725, 1335, {115, 89, 794, 600}},
        {{0, 0, 1024, 768}, 793, frame, 1717.5f, 1335, {115, 89, 795, 600}},   // half a pixel kept
        {{0, 0, 640, 480}, 792, frame, -1155, -825, {-77, -55, 794, 600}},      // applied as they are
        {{1024, 0, 1024, 768}, 792, frame, 1725, 1335, {1139, 89, 794, 600}},   // the second screen
        {{0, 0, 1280, 1024}, 792, {}, 3660, 3442.5f, {244, 230, 792, 600}},
    };
    for (const Case &c : cases) {
        const hiragana::StartUpGeometry geometry = hiragana::ComputeStartUpGeometry(c.screen, {c.width, 565}, c.frame);
        EXPECT_FLOAT_EQ(geometry.leftTwips, c.leftTwips);
        EXPECT_FLOAT_EQ(geometry.topTwips, c.topTwips);
        EXPECT_EQ(geometry.frame, c.outer);
        EXPECT_EQ(geometry.client, c.outer.marginsRemoved(c.frame));
    }
}
