#include "kit/canvas/canvas_rules.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace nelvo {
namespace {

using Range = CanvasRules::HourRange;

DailyWindow hours(std::int64_t start, std::int64_t end)
{
    return DailyWindow{.startMinutes = start, .endMinutes = end};
}

Range rangeOf(std::vector<DailyWindow> windows)
{
    return CanvasRules::hourRange(windows);
}

TEST(CanvasRules, HourRangeFramesTheWindowsWithAnHourEachSide)
{
    // No windows: the default hours.
    EXPECT_EQ(rangeOf({}), (Range{8, 18}));
    // 09:00–17:00.
    EXPECT_EQ(rangeOf({hours(540, 1020)}), (Range{8, 18}));
    // 08:30–23:30: partial hours widen the range outward.
    EXPECT_EQ(rangeOf({hours(510, 1410)}), (Range{7, 25}));
    // 22:00–02:00 runs into the next day.
    EXPECT_EQ(rangeOf({hours(1320, 120)}), (Range{21, 27}));
    // A start at 00:30 cannot have an hour above it.
    EXPECT_EQ(rangeOf({hours(30, 600)}).firstHour, 0);
    // Several days: the earliest start and the latest end, from different windows.
    EXPECT_EQ(rangeOf({hours(540, 1020), hours(1320, 120), hours(600, 660)}), (Range{8, 27}));
    // Equal start and end is a 24-hour window; the range stops at the end of the next day.
    EXPECT_EQ(rangeOf({hours(1380, 1380)}), (Range{22, 48}));
    // Minutes from a damaged file keep the range on the two days.
    EXPECT_EQ(rangeOf({hours(-5000, 90000)}), (Range{0, 48}));
    EXPECT_EQ(rangeOf({hours(INT64_MAX, INT64_MAX)}), (Range{47, 48}));
}

TEST(CanvasRules, DraggedEdgesSnapAndKeepTheWindowOpen)
{
    const DailyWindow nineToFive = hours(540, 1020);
    using enum WindowEdge;

    // A start dragged past the end stops a quarter hour before it: 16:45.
    EXPECT_EQ(CanvasRules::window(nineToFive, start, 1040), hours(1005, 1020));
    // An end dragged above the start lands a quarter hour after it: 09:15.
    EXPECT_EQ(CanvasRules::window(nineToFive, end, 480), hours(540, 555));
    // An end dragged to 25:00 is 01:00 of the next day.
    EXPECT_EQ(CanvasRules::window(nineToFive, end, 1500), hours(540, 60));
    // An end dragged to 33:00 cannot pass the start: 09:00, a 24-hour window.
    EXPECT_EQ(CanvasRules::window(nineToFive, end, 1980), hours(540, 540));
    // Halves snap away from zero: 7.5 to 15, 7.4 to 0.
    EXPECT_EQ(CanvasRules::window(nineToFive, start, 7.5).startMinutes, 15);
    EXPECT_EQ(CanvasRules::window(nineToFive, start, 7.4).startMinutes, 0);
    // A start stays within 00:00–23:45.
    EXPECT_EQ(CanvasRules::window(hours(540, 120), start, -90).startMinutes, 0);
    EXPECT_EQ(CanvasRules::window(hours(540, 120), start, 1500).startMinutes, 1425);
    // In an overnight window the start may move past the end's clock time.
    EXPECT_EQ(CanvasRules::window(hours(1320, 120), start, 180), hours(180, 120));
    // An end at 23:45 dragged above it stays at 23:45 (a 24-hour window).
    EXPECT_EQ(CanvasRules::window(hours(1425, 600), end, 1000), hours(1425, 1425));
    // A pointer position that is not a number changes nothing.
    EXPECT_EQ(CanvasRules::window(nineToFive, end, std::numeric_limits<double>::quiet_NaN()),
              nineToFive);
}

} // namespace
} // namespace nelvo
