#include "startupgeometry.h"

#include "failure.h"

#include <cmath>

namespace hiragana {

namespace {
float toTwips(int pixels)
{
    return static_cast<float>(pixels) * TwipsPerPixel;
}

// Half of what is left over, in twips; the result may be a fraction of a twip.
float centred(float screenTwips, float outerTwips)
{
    const float edge = (screenTwips - outerTwips) / 2.0f;
    if (!std::isfinite(edge))
        throw Failure(Failure::Overflow, "Overflow");
    return edge;
}

int toPixels(float twips)
{
    return static_cast<int>(std::lround(twips / TwipsPerPixel));
}
} // namespace

StartUpGeometry ComputeStartUpGeometry(const QRect &screen, const QSize &client, const QMargins &frame)
{
    const QSize outer = client.grownBy(frame);
    const float left = centred(toTwips(screen.width()), toTwips(outer.width()));
    const float top = centred(toTwips(screen.height()), toTwips(outer.height()));

    const int outerHeight = toPixels(StartUpHeightTwips);
    const QRect frameRect(screen.left() + toPixels(left), screen.top() + toPixels(top), outer.width(),
                          outerHeight);
    return {left, top, frameRect, frameRect.marginsRemoved(frame)};
}

} // namespace hiragana
