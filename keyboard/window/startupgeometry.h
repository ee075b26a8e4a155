#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace hiragana {

// The layout is drawn in twips; on screen one device-independent pixel is 15 twips, so the
// keyboard grows with the desktop's scale factor.
inline constexpr int TwipsPerPixel = 15;

constexpr int TwipsToPixels(int twips)
{
    return twips / TwipsPerPixel;
}

// The outer height the window takes at start-up, frame and menu bar included.
inline constexpr float StartUpHeightTwips = 9000.0f;

// Where the window goes at start-up, worked out before it is first shown.
struct StartUpGeometry {
    // The outer frame's top-left corner, in twips, as the centring computed it.
    float leftTwips;
    float topTwips;
    // The outer frame in pixels: centred for the window's size as created, then 9000 twips
    // high with the top edge unchanged.
    QRect frame;
    // The window itself inside that frame: where it goes and the size that gives that outer size.
    QRect client;
};

// Centres a window of the given client size and frame on the whole screen (not the work area),
// using the outer size as created, then makes the outer height 9000 twips. A screen smaller
// than the window gives negative positions, applied as they are. Throws hiragana::Failure
// (overflow) when the arithmetic does not give finite values.
StartUpGeometry ComputeStartUpGeometry(const QRect &screen, const QSize &client, const QMargins &frame);

} // namespace hiragana
