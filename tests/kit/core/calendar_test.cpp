#include "kit/core/calendar.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::at;
using test::day;
using test::iso;
using test::zone;

TEST(Calendar, SettingTimeOnDaylightSavingDaysAndOutsideTheClock)
{
    const Calendar la{zone("America/Los_Angeles")};
    // Spring forward: 02:30 never happens; the next valid time is 03:00 PDT.
    EXPECT_EQ(iso(la.settingTime(day("2025-03-09", la.zone()), 2, 30)), "2025-03-09T10:00:00Z");
    // Fall back: 01:30 happens twice; the first (PDT) is taken.
    EXPECT_EQ(iso(la.settingTime(day("2025-11-02", la.zone()), 1, 30)), "2025-11-02T08:30:00Z");

    // Lord Howe moves by half an hour: 02:00-02:30 is skipped on 2025-10-05.
    const Calendar lordHowe{zone("Australia/Lord_Howe")};
    EXPECT_EQ(iso(lordHowe.settingTime(day("2025-10-05", lordHowe.zone()), 2, 10)),
              "2025-10-04T15:30:00Z");
    const Calendar utc{TimeZone::utc()};
    const Date d = at("2025-03-07T12:00:00Z");
    EXPECT_FALSE(utc.settingTime(d, 24, 0));  // no rolling into the next day
    EXPECT_FALSE(utc.settingTime(d, -1, 0));
    EXPECT_FALSE(utc.settingTime(d, 9, 60));
    EXPECT_FALSE(utc.settingTime(d, INT64_MAX / 60, 0));
    EXPECT_EQ(iso(utc.settingTime(d, 23, 59)), "2025-03-07T23:59:00Z");
}

TEST(Calendar, DayArithmeticFollowsWallClockTimeAndSkipsWhatTheZoneSkipped)
{
    const Calendar la{zone("America/Los_Angeles")};
    const Date before = at("2025-03-08T09:00:00-08:00");
    // A 23-hour day: the same wall time a day later is 23 hours later.
    EXPECT_EQ(*la.addingDays(1, before) - before, 23 * 3600.0);
    EXPECT_EQ(la.daysBetween(before, *la.addingDays(1, before)), 1);
    EXPECT_EQ(la.daysBetween(before, at("2025-03-09T08:59:00-07:00")), 0);
    EXPECT_EQ(la.minutesBetween(before, before.addingSeconds(119.5)), 1);
    EXPECT_EQ(la.minutesBetween(before, before.addingSeconds(-119.5)), -1);
    EXPECT_EQ(iso(la.startOfDay(at("2025-11-02T23:00:00-08:00"))), "2025-11-02T07:00:00Z");

    // 2025-03-08 23:30:00, a Saturday.
    EXPECT_EQ(la.parts(at("2025-03-08T23:30:00-08:00")),
              (Calendar::Parts{2025, 3, 8, 23, 30, 0, 7}));
    // Samoa jumped from 2011-12-29 to 2011-12-31.
    const Calendar apia{zone("Pacific/Apia")};
    const Date thursday = day("2011-12-29", apia.zone());
    EXPECT_FALSE(apia.addingDays(1, thursday));
    EXPECT_EQ(DayKey::string(*apia.addingDays(2, thursday), apia), "2011-12-31");
    EXPECT_FALSE(apia.date(2011, 12, 30));
    EXPECT_FALSE(DayKey::date("2011-12-30", apia.zone()));
    // Berlin jumped from 23:00 on 1916-04-30 to midnight: 23:30 resolves to that midnight,
    // and the day itself still exists.
    const Calendar berlin{zone("Europe/Berlin")};
    EXPECT_EQ(iso(berlin.settingTime(day("1916-04-30", berlin.zone()), 23, 30)),
              "1916-04-30T22:00:00Z");
    EXPECT_EQ(iso(berlin.addingDays(1, at("1916-04-29T23:30:00+01:00"))), "1916-04-30T22:00:00Z");
}

}  // namespace
}  // namespace nelvo
