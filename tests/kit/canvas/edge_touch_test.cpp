#include "kit/canvas/edge_touch.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::at;

TEST(EdgeTouch, OnlyAnEdgeOnTheWindowsOwnEdgeMovesTheDay)
{
    const std::pair window{at("2025-03-04T09:00:00Z"), at("2025-03-04T17:00:00Z")};
    const Slot whole{at("2025-03-04T09:00:00Z"), at("2025-03-04T17:00:00Z")};
    const Slot later{at("2025-03-04T09:01:00Z"), at("2025-03-04T16:59:00Z")};
    using enum WindowEdge;

    // A band starting at the window start: its top moves the day's start.
    EXPECT_EQ(EdgeTouch::action(whole, start, window), EdgeDragAction::moveDayEdge);
    EXPECT_EQ(EdgeTouch::action(whole, end, window), EdgeDragAction::moveDayEdge);
    // One minute inside: a trim.
    EXPECT_EQ(EdgeTouch::action(later, start, window), EdgeDragAction::trim);
    EXPECT_EQ(EdgeTouch::action(later, end, window), EdgeDragAction::trim);
    // Only the same side counts: a band ending at the window end trims from its top.
    const Slot afternoon{at("2025-03-04T13:00:00Z"), at("2025-03-04T17:00:00Z")};
    EXPECT_EQ(EdgeTouch::action(afternoon, start, window), EdgeDragAction::trim);
}

} // namespace
} // namespace nelvo
