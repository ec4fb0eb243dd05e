#include "kit/canvas/edge_touch.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::at;

TEST(EdgeTouch, OnlyAnEdgeOnTheWindowsSameEdgeMovesTheDay)
{
    const std::pair window{at("2025-03-04T09:00:00Z"), at("2025-03-04T17:00:00Z")};
    const Slot afternoon{at("2025-03-04T13:00:00Z"), window.second};
    // The band's bottom is the window's end: moving the day's end.
    EXPECT_EQ(EdgeTouch::action(afternoon, WindowEdge::end, window), EdgeDragAction::moveDayEdge);
    // Its top is not the window's start: a trim.
    EXPECT_EQ(EdgeTouch::action(afternoon, WindowEdge::start, window), EdgeDragAction::trim);
    // A band at the window start moves it; one minute later trims.
    const Slot morning{window.first, at("2025-03-04T12:00:00Z")};
    EXPECT_EQ(EdgeTouch::action(morning, WindowEdge::start, window), EdgeDragAction::moveDayEdge);
    const Slot later{at("2025-03-04T09:01:00Z"), morning.end};
    EXPECT_EQ(EdgeTouch::action(later, WindowEdge::start, window), EdgeDragAction::trim);
}

}  // namespace
}  // namespace nelvo
