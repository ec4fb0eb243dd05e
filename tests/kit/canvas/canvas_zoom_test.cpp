#include "kit/canvas/canvas_zoom.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

TEST(CanvasZoom, FitsTheHoursStaysWithinTheLimitsAndKeepsThePointsPlace)
{
    // 10 hours in 500 − 8 points; a small viewport would need less than the minimum.
    EXPECT_DOUBLE_EQ(CanvasZoom::floor(10, 500, 8, 16), 49.2);
    EXPECT_DOUBLE_EQ(CanvasZoom::floor(10, 100, 8, 16), 16);
    // Too far in: the maximum; too far out: the fit.
    EXPECT_DOUBLE_EQ(CanvasZoom::clamped(300, 10, 500), 160);
    EXPECT_DOUBLE_EQ(CanvasZoom::clamped(10, 10, 500), 49.2);
    // When fitting needs 200, every zoom becomes 200, even above the maximum.
    for (double current : {10.0, 500.0})
        EXPECT_DOUBLE_EQ(CanvasZoom::clamped(current, 10, 2008), 200);
    // Content at 100 + 200 − 50 = 250 points doubles to 500, so the offset becomes 350.
    EXPECT_DOUBLE_EQ(CanvasZoom::offset({.anchor = 200, .offset = 100}, 2, 50), 350);
    // Zooming out near the top cannot scroll above it.
    EXPECT_DOUBLE_EQ(CanvasZoom::offset({.anchor = 200, .offset = 10}, 0.5, 50), 0);
}

}  // namespace
}  // namespace nelvo
