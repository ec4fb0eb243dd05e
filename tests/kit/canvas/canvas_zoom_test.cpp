#include "kit/canvas/canvas_zoom.h"

#include <gtest/gtest.h>

#include <limits>

namespace nelvo {
namespace {

TEST(CanvasZoom, FloorFitsTheHoursIntoTheVisibleHeight)
{
    // 10 hours in 500 − 8 points.
    EXPECT_DOUBLE_EQ(CanvasZoom::floor(10, 500, 8, 16), 49.2);
    // A small viewport would need less than the minimum.
    EXPECT_DOUBLE_EQ(CanvasZoom::floor(10, 100, 8, 16), 16);
    // No hours or no room: the minimum, never a division by zero.
    EXPECT_DOUBLE_EQ(CanvasZoom::floor(0, 500, 8, 16), 16);
    EXPECT_DOUBLE_EQ(CanvasZoom::floor(10, 8, 8, 16), 16);
    // The canvas's own reserved height and minimum are the defaults.
    EXPECT_DOUBLE_EQ(CanvasZoom::floor(10, 500), 49.2);
}

TEST(CanvasZoom, ClampedStaysBetweenTheFitAndTheMaximum)
{
    // Too far in: the maximum.
    EXPECT_DOUBLE_EQ(CanvasZoom::clamped(300, 10, 500), 160);
    // Too far out: the fit, so the hours reach the bottom of the viewport.
    EXPECT_DOUBLE_EQ(CanvasZoom::clamped(10, 10, 500), 49.2);
    // In between: unchanged.
    EXPECT_DOUBLE_EQ(CanvasZoom::clamped(80, 10, 500), 80);
    // When fitting needs 200, every zoom becomes 200, even above the maximum.
    for (double current : {10.0, 160.0, 200.0, 500.0})
        EXPECT_DOUBLE_EQ(CanvasZoom::clamped(current, 10, 2008), 200) << current;
    // A damaged stored zoom counts as the default.
    EXPECT_DOUBLE_EQ(CanvasZoom::clamped(std::numeric_limits<double>::quiet_NaN(), 10, 300),
                     CanvasZoom::defaultPointsPerHour);
}

TEST(CanvasZoom, OffsetKeepsTheContentUnderThePointer)
{
    // Content at 100 + 200 − 50 = 250 points doubles to 500, so the offset becomes 350.
    EXPECT_DOUBLE_EQ(CanvasZoom::offset({.anchor = 200, .offset = 100}, 2, 50), 350);
    // Zooming out near the top cannot scroll above it.
    EXPECT_DOUBLE_EQ(CanvasZoom::offset({.anchor = 200, .offset = 10}, 0.5, 50), 0);
    // No change of zoom, no change of offset.
    EXPECT_DOUBLE_EQ(CanvasZoom::offset({.anchor = 120, .offset = 75}, 1, 50), 75);
}

} // namespace
} // namespace nelvo
