// Start-up placement on screens other than the end-to-end test's own.
#include "startupgeometry.h"

#include <gtest/gtest.h>

TEST(StartUpGeometry, CentresTheSizeAsCreatedThenMakesIt9000TwipsHigh)
{
    const QMargins frame(1, 20, 1, 5); // openbox's, round a client area with a 19-pixel menu bar
    const struct { QRect screen; int width; float leftTwips, topTwips; QRect outer; } cases[] = {
        {{0, 0, 1024, 768}, 793, 1717.5f, 1335, {115, 89, 795, 600}}, // half a pixel kept
        {{0, 0, 640, 480}, 792, -1155, -825, {-77, -55, 794, 600}},    // applied as they are
        {{1024, 0, 1024, 768}, 792, 1725, 1335, {1139, 89, 794, 600}}, // the second screen
    };
    for (const auto &c : cases) {
        const auto geometry = hiragana::ComputeStartUpGeometry(c.screen, {c.width, 565}, frame);
        EXPECT_FLOAT_EQ(geometry.leftTwips, c.leftTwips);
        EXPECT_FLOAT_EQ(geometry.topTwips, c.topTwips);
        EXPECT_EQ(geometry.frame, c.outer);
    }
}
