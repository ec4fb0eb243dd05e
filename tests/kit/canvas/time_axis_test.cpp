#include "kit/canvas/time_axis.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::at;
using test::day;
using test::iso;
using test::zone;

TEST(TimeAxis, PlacesWallTimesOfItsDayAndTheNext)
{
    const Calendar la{zone("America/Los_Angeles")};
    // Any instant of the day will do: the axis starts at its midnight.
    const TimeAxis axis(at("2025-03-04T14:00:00-08:00"), 8, 18, 44, la);

    EXPECT_EQ(iso(axis.dayStart()), "2025-03-04T08:00:00Z");
    EXPECT_DOUBLE_EQ(axis.height(), 440);
    // 09:30 is an hour and a half below the 08:00 top.
    EXPECT_DOUBLE_EQ(axis.y(at("2025-03-04T09:30:00-08:00")), 66);
    // Seconds are ignored.
    EXPECT_DOUBLE_EQ(axis.y(at("2025-03-04T09:30:59-08:00")), 66);
    // 01:00 of the next day is minute 1500: (1500 − 480) ÷ 60 × 44.
    EXPECT_DOUBLE_EQ(axis.y(at("2025-03-05T01:00:00-08:00")), 748);
    // 23:00 the day before lies above the column.
    EXPECT_DOUBLE_EQ(axis.y(at("2025-03-03T23:00:00-08:00")), -396);
}

TEST(TimeAxis, DateOfAPositionRoundTripsToTheMinute)
{
    const Calendar la{zone("America/Los_Angeles")};
    const TimeAxis axis(day("2025-03-04", la.zone()), 8, 18, 44, la);

    EXPECT_EQ(iso(axis.date(66)), "2025-03-04T17:30:00Z"); // 09:30
    // 748 points is minute 1500: 01:00 of the next day.
    EXPECT_EQ(iso(axis.date(748)), "2025-03-05T09:00:00Z");
    // Positions between minutes round to the nearest one.
    EXPECT_EQ(iso(axis.date(66.3)), "2025-03-04T17:30:00Z");
    EXPECT_EQ(iso(axis.date(66.5)), "2025-03-04T17:31:00Z");
    // Above the top: 07:00 of the same day; far above: the day before.
    EXPECT_EQ(iso(axis.date(-44)), "2025-03-04T15:00:00Z");
    EXPECT_EQ(iso(axis.date(-396)), "2025-03-04T07:00:00Z");
    // Every quarter hour from the top to past midnight comes back as itself.
    for (int minutes = 8 * 60; minutes <= 26 * 60; minutes += 15) {
        const Date t = axis.dayStart().addingSeconds(minutes * 60.0);
        EXPECT_EQ(axis.date(axis.y(t)), t) << minutes;
    }
    // A zero zoom or an impossible position gives an instant, not a crash.
    const TimeAxis flat(day("2025-03-04", la.zone()), 8, 18, 0, la);
    EXPECT_EQ(iso(flat.date(10)), "2025-03-04T16:00:00Z");
    EXPECT_EQ(iso(axis.date(std::numeric_limits<double>::quiet_NaN())), "2025-03-04T16:00:00Z");
}

TEST(TimeAxis, FollowsWallClockOnDaylightSavingDays)
{
    const Calendar ny{zone("America/New_York")};
    // One point per minute, from midnight, so positions read as minutes of the day.
    const TimeAxis spring(day("2025-03-09", ny.zone()), 0, 24, 60, ny);
    // 01:59 EST, then 03:00 EDT one minute later keeps its nominal place at minute 180.
    EXPECT_DOUBLE_EQ(spring.y(at("2025-03-09T06:59:00Z")), 119);
    EXPECT_DOUBLE_EQ(spring.y(at("2025-03-09T07:00:00Z")), 180);
    // The skipped 02:30 resolves to the next valid time, 03:00 EDT.
    EXPECT_EQ(iso(spring.date(150)), "2025-03-09T07:00:00Z");
    // Noon is at minute 720, although only 11 hours have passed since midnight.
    EXPECT_DOUBLE_EQ(spring.y(at("2025-03-09T12:00:00-04:00")), 720);

    const TimeAxis fall(day("2025-11-02", ny.zone()), 0, 24, 60, ny);
    // 01:30 EDT and 01:30 EST an hour later share one place.
    EXPECT_DOUBLE_EQ(fall.y(at("2025-11-02T05:30:00Z")), 90);
    EXPECT_DOUBLE_EQ(fall.y(at("2025-11-02T06:30:00Z")), 90);
    // That place means the first 01:30.
    EXPECT_EQ(iso(fall.date(90)), "2025-11-02T05:30:00Z");
    EXPECT_DOUBLE_EQ(fall.y(at("2025-11-02T12:00:00-05:00")), 720);
}

TEST(TimeAxis, CountsDaysByDateWhereMidnightIsSkipped)
{
    // Santiago skips from 00:00 to 01:00 on 2025-09-07, so that day starts at 01:00.
    const Calendar santiago{zone("America/Santiago")};
    const TimeAxis axis(at("2025-09-07T12:00:00-03:00"), 0, 48, 60, santiago);
    EXPECT_EQ(iso(axis.dayStart()), "2025-09-07T04:00:00Z");
    // 00:30 of the next day is still minute 1470, though less than a day has passed since
    // this day's start at 01:00.
    EXPECT_DOUBLE_EQ(axis.y(at("2025-09-08T00:30:00-03:00")), 1470);
    EXPECT_EQ(iso(axis.date(1470)), "2025-09-08T03:30:00Z");
    // Minute 0 of the skipped midnight is the day's first instant, 01:00.
    EXPECT_EQ(iso(axis.date(0)), "2025-09-07T04:00:00Z");
}

} // namespace
} // namespace nelvo
