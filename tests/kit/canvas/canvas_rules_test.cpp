#include "kit/canvas/canvas_rules.h"
#include "kit/canvas/edge_touch.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

#include <vector>

namespace nelvo {
namespace {

using test::at;

DailyWindow hours(std::int64_t start, std::int64_t end)
{
    return {start, end};
}

CanvasRules::HourRange rangeOf(std::vector<DailyWindow> windows)
{
    return CanvasRules::hourRange(windows);
}

TEST(CanvasRules, HourRangeAndDraggedEdges)
{
    // 09:00–17:00; 08:30–23:30; overnight 22:00–02:00.
    EXPECT_EQ(rangeOf({hours(540, 1020)}), (CanvasRules::HourRange{8, 18}));
    EXPECT_EQ(rangeOf({hours(510, 1410)}), (CanvasRules::HourRange{7, 25}));
    EXPECT_EQ(rangeOf({hours(1320, 120), hours(600, 660)}), (CanvasRules::HourRange{9, 27}));
    // A start at 00:30 has no hour above it.
    EXPECT_EQ(rangeOf({hours(30, 600)}).firstHour, 0);
    // Minutes from a damaged file keep the range on the two days.
    EXPECT_EQ(rangeOf({hours(INT64_MAX, INT64_MAX)}), (CanvasRules::HourRange{47, 48}));
    const DailyWindow nineToFive = hours(540, 1020);
    using enum WindowEdge;
    // A start dragged to 17:20, or exactly onto the end, stops a quarter hour before it:
    // 16:45. Equal edges would be the whole day.
    EXPECT_EQ(CanvasRules::window(nineToFive, start, 1040), hours(1005, 1020));
    EXPECT_EQ(CanvasRules::window(nineToFive, start, 1020), hours(1005, 1020));
    // An end dragged to 08:00, or exactly onto the start, lands a quarter hour after it.
    EXPECT_EQ(CanvasRules::window(nineToFive, end, 480), hours(540, 555));
    EXPECT_EQ(CanvasRules::window(nineToFive, end, 540), hours(540, 555));
    // An end dragged to 25:00 is 01:00 of the next day; to 33:00, the start (24 hours).
    EXPECT_EQ(CanvasRules::window(nineToFive, end, 1500), hours(540, 60));
    EXPECT_EQ(CanvasRules::window(nineToFive, end, 1980), hours(540, 540));
    // Halves snap away from zero.
    EXPECT_EQ(CanvasRules::window(nineToFive, start, 7.5).startMinutes, 15);
    EXPECT_EQ(CanvasRules::window(nineToFive, start, 7.4).startMinutes, 0);
    // A start stays within 00:00–23:45, and may pass an overnight window's end.
    EXPECT_EQ(CanvasRules::window(hours(1320, 120), start, 1500), hours(1425, 120));
    EXPECT_EQ(CanvasRules::window(hours(1320, 120), start, 180), hours(180, 120));
}

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
