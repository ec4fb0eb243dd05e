#include "kit/canvas/time_axis.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::at;
using test::iso;
using test::zone;

TEST(TimeAxis, MapsWallTimesToPositionsAndBackOnEveryKindOfDay)
{
    const TimeAxis axis(at("2025-03-04T14:00:00-08:00"), 8, 18, 44,
                        Calendar{zone("America/Los_Angeles")});
    // 09:30 of its day, seconds ignored, is 66; 01:00 of the next day is (1500 − 480) ÷ 60 × 44.
    EXPECT_DOUBLE_EQ(axis.y(at("2025-03-04T09:30:59-08:00")), 66);
    EXPECT_DOUBLE_EQ(axis.y(at("2025-03-05T01:00:00-08:00")), 748);
    // And back; positions between minutes round to the nearest.
    EXPECT_EQ(iso(axis.date(66.3)), "2025-03-04T17:30:00Z");
    EXPECT_EQ(iso(axis.date(748)), "2025-03-05T09:00:00Z");
    // Far above the top is the day before: 23:00.
    EXPECT_EQ(iso(axis.date(-396)), "2025-03-04T07:00:00Z");
    // A zero zoom gives the top, not a crash.
    EXPECT_EQ(iso(TimeAxis(axis.dayStart(), 8, 18, 0, axis.calendar()).date(10)),
              "2025-03-04T16:00:00Z");
    const Calendar ny{zone("America/New_York")};
    // One point per minute from midnight, so positions read as minutes of the day.
    const TimeAxis spring(at("2025-03-09T12:00:00-04:00"), 0, 24, 60, ny);
    // 03:00 EDT, one minute after 01:59 EST, keeps its nominal place.
    EXPECT_DOUBLE_EQ(spring.y(at("2025-03-09T07:00:00Z")), 180);
    // The skipped 02:30 resolves to 03:00 EDT.
    EXPECT_EQ(iso(spring.date(150)), "2025-03-09T07:00:00Z");

    const TimeAxis fall(at("2025-11-02T12:00:00-05:00"), 0, 24, 60, ny);
    // 01:30 EDT and 01:30 EST share one place, which means the first of them.
    EXPECT_DOUBLE_EQ(fall.y(at("2025-11-02T05:30:00Z")), 90);
    EXPECT_DOUBLE_EQ(fall.y(at("2025-11-02T06:30:00Z")), 90);
    EXPECT_EQ(iso(fall.date(90)), "2025-11-02T05:30:00Z");

    // Santiago skips midnight on 2025-09-07, so that day starts at 01:00; the next day's
    // 00:30 is still minute 1470, though less than a day has passed.
    const TimeAxis santiago(at("2025-09-07T12:00:00-03:00"), 0, 48, 60,
                            Calendar{zone("America/Santiago")});
    EXPECT_DOUBLE_EQ(santiago.y(at("2025-09-08T00:30:00-03:00")), 1470);
    EXPECT_EQ(iso(santiago.date(1470)), "2025-09-08T03:30:00Z");
}

}  // namespace
}  // namespace nelvo
