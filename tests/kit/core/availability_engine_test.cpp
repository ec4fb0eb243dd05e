#include "kit/core/availability_engine.h"
#include "kit/core/lead_time.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nelvo {
namespace {

using test::at;
using test::day;
using test::slotText;
using test::zone;

AvailabilityRequest request(const char* firstDay, const TimeZone& z, std::int64_t days = 1)
{
    AvailabilityRequest r;
    r.rangeStart = day(firstDay, z);
    r.dayCount = days;
    r.zone = z;
    r.window = DailyWindow{540, 1020};
    r.exclusions.saturdaysOff = r.exclusions.sundaysOff = false;
    r.minimumMinutes = 30;
    r.snapMinutes = 15;
    r.now = r.rangeStart.addingSeconds(-86400);
    return r;
}

BusyInterval busy(const char* from, const char* to)
{
    return {at(from), at(to)};
}

// Busy time on Wednesday 2025-03-05 in UTC, or at another offset.
BusyInterval wednesday(const std::string& from, const std::string& to,
                       const std::string& offset = "Z")
{
    const auto instant = [&](const std::string& hhmm) {
        return at(("2025-03-05T" + hhmm + ":00" + offset).c_str());
    };
    return {instant(from), instant(to)};
}

TEST(AvailabilityEngine, BusyTimeJoinedAndTakenFromTheWindowAndTheMinimumLength)
{
    // The second touches the first; then an empty, an inverted and an inner interval.
    const std::vector<BusyInterval> input{wednesday("11:00", "12:00"), wednesday("10:00", "11:00"),
                                          wednesday("13:00", "13:00"), wednesday("15:00", "14:00"),
                                          wednesday("10:30", "10:45")};
    EXPECT_EQ(AvailabilityEngine::normalizedBusy(input),
              (std::vector<BusyInterval>{wednesday("10:00", "12:00")}));
    const TimeZone utc = TimeZone::utc();
    auto r = request("2025-03-05", utc);
    // Nothing busy: the whole window.
    EXPECT_EQ(slotText(AvailabilityEngine::slots({}, r), utc), "03-05 09:00-17:00");
    // Two touching meetings leave the time around them; an empty interval has no effect.
    const std::vector<BusyInterval> meetings{
        wednesday("10:00", "11:00"), wednesday("11:00", "12:00"), wednesday("14:00", "14:00")};
    EXPECT_EQ(slotText(AvailabilityEngine::slots(meetings, r), utc),
              "03-05 09:00-10:00 03-05 12:00-17:00");
    // Busy time touching the window's edges only changes nothing.
    const std::vector<BusyInterval> edges{wednesday("08:00", "09:00"), wednesday("17:00", "18:00")};
    EXPECT_EQ(slotText(AvailabilityEngine::slots(edges, r), utc), "03-05 09:00-17:00");
    // No days at all.
    r.dayCount = 0;
    EXPECT_TRUE(AvailabilityEngine::slots({}, r).empty());
    r.dayCount = -3;
    EXPECT_TRUE(AvailabilityEngine::slots({}, r).empty());
    // The minimum length applies to the aligned slot.
    r.dayCount = 1;
    r.minimumMinutes = 60;
    // 10:00-11:00 is exactly the minimum and stays; 13:00-13:59 is a minute short.
    const std::vector<BusyInterval> short_{wednesday("09:00", "10:00"), wednesday("11:00", "13:00"),
                                           wednesday("13:59", "17:00")};
    r.snapMinutes = 1;
    EXPECT_EQ(slotText(AvailabilityEngine::slots(short_, r), utc), "03-05 10:00-11:00");
    // Snapping first: 13:07-14:07 is an hour raw, 45 minutes once aligned, and goes.
    const std::vector<BusyInterval> ragged{wednesday("09:00", "13:07"),
                                           wednesday("14:07", "17:00")};
    r.snapMinutes = 15;
    EXPECT_TRUE(AvailabilityEngine::slots(ragged, r).empty());
}

TEST(AvailabilityEngine, GridIsAnchoredAtLocalMidnight)
{
    const TimeZone kolkata = zone("Asia/Kolkata");
    auto r = request("2025-03-05", kolkata);
    r.window = DailyWindow{550, 1020};  // 09:10
    const std::vector<BusyInterval> meetings{wednesday("09:30", "10:05", "+05:30"),
                                             wednesday("14:50", "15:00", "+05:30")};
    // 09:10 starts at 09:15; a meeting ending 10:05 frees from 10:15; one at 14:50 ends the
    // slot before it at 14:45. The half-hour offset does not move the grid.
    EXPECT_EQ(slotText(AvailabilityEngine::slots(meetings, r), kolkata),
              "03-05 10:15-14:45 03-05 15:00-17:00");
    // Snap 0 behaves as 1: whole minutes, no alignment beyond them.
    r.snapMinutes = 0;
    r.minimumMinutes = 15;
    EXPECT_EQ(slotText(AvailabilityEngine::slots(meetings, r), kolkata),
              "03-05 09:10-09:30 03-05 10:05-14:50 03-05 15:00-17:00");
    // A boundary with leftover seconds moves to the next grid point.
    r.snapMinutes = 15;
    r.minimumMinutes = 30;
    const std::vector<BusyInterval> seconds{
        busy("2025-03-05T09:00:00+05:30", "2025-03-05T12:00:01+05:30")};
    r.window = DailyWindow{540, 1020};
    EXPECT_EQ(slotText(AvailabilityEngine::slots(seconds, r), kolkata), "03-05 12:15-17:00");
}

TEST(AvailabilityEngine, CutoffTrimsTheFirstDaysAndNextDayNoticeFollowsTheDay)
{
    const TimeZone utc = TimeZone::utc();
    auto r = request("2025-03-05", utc, 2);
    // 10:07 with no notice: the current day starts at 10:15.
    r.now = at("2025-03-05T10:07:00Z");
    EXPECT_EQ(slotText(AvailabilityEngine::slots({}, r), utc),
              "03-05 10:15-17:00 03-06 09:00-17:00");
    // After the window's end the day yields nothing.
    r.now = at("2025-03-05T16:50:00Z");
    EXPECT_EQ(slotText(AvailabilityEngine::slots({}, r), utc), "03-06 09:00-17:00");
    // "Next day" notice leaves today empty and tomorrow whole.
    r.now = at("2025-03-05T08:00:00Z");
    r.leadTime = LeadTime::interval(LeadTime::nextDay, r.now, utc);
    EXPECT_EQ(slotText(AvailabilityEngine::slots({}, r), utc), "03-06 09:00-17:00");
    // Minutes are a plain duration.
    EXPECT_EQ(LeadTime::interval(60, at("2025-03-05T10:00:00Z"), utc), 3600.0);
    // "Next day" at 23:00 is an hour; at midnight a whole day.
    EXPECT_EQ(LeadTime::interval(LeadTime::nextDay, at("2025-03-05T23:00:00Z"), utc), 3600.0);
    EXPECT_EQ(LeadTime::interval(LeadTime::nextDay, at("2025-03-05T00:00:00Z"), utc), 86400.0);
    // On 23- and 25-hour days the next midnight is where the clock says.
    const TimeZone la = zone("America/Los_Angeles");
    EXPECT_EQ(LeadTime::interval(LeadTime::nextDay, day("2025-03-09", la), la), 23 * 3600.0);
    EXPECT_EQ(LeadTime::interval(LeadTime::nextDay, day("2025-11-02", la), la), 25 * 3600.0);
    // Before a day the zone skipped, the next day is the one after it.
    const TimeZone apia = zone("Pacific/Apia");
    EXPECT_EQ(LeadTime::interval(LeadTime::nextDay, at("2011-12-29T10:00:00-10:00"), apia),
              14 * 3600.0);
}

TEST(AvailabilityEngine, ExclusionsAndOverrides)
{
    const TimeZone utc = TimeZone::utc();
    auto r = request("2025-03-07", utc, 3);  // Friday, Saturday, Sunday
    r.exclusions = DayExclusions{};          // weekends off
    EXPECT_EQ(slotText(AvailabilityEngine::slots({}, r), utc), "03-07 09:00-17:00");
    // A toggled Saturday comes back; a toggled Friday goes.
    r.exclusions.toggled = {"2025-03-08", "2025-03-07"};
    EXPECT_EQ(slotText(AvailabilityEngine::slots({}, r), utc), "03-08 09:00-17:00");
    // Saturday and Sunday off apart: each switch keeps to its own day.
    r.exclusions = DayExclusions{.saturdaysOff = true, .sundaysOff = false, .toggled = {}};
    EXPECT_EQ(slotText(AvailabilityEngine::slots({}, r), utc),
              "03-07 09:00-17:00 03-09 09:00-17:00");
    // An override with only an end keeps the shared start.
    r.exclusions = DayExclusions{.saturdaysOff = false, .sundaysOff = false, .toggled = {}};
    r.overrides.set(WindowEdge::end, 12 * 60, "2025-03-08");
    r.overrides.set(WindowEdge::start, 13 * 60, "2025-03-09");
    EXPECT_EQ(slotText(AvailabilityEngine::slots({}, r), utc),
              "03-07 09:00-17:00 03-08 09:00-12:00 03-09 13:00-17:00");
}

TEST(AvailabilityEngine, OvernightAndWholeDayWindows)
{
    const TimeZone utc = TimeZone::utc();
    auto r = request("2025-03-05", utc);
    // 22:00 to 02:00 runs into the next day and belongs to the day it starts.
    r.window = DailyWindow{1320, 120};
    EXPECT_EQ(slotText(AvailabilityEngine::slots({}, r), utc), "03-05 22:00-02:00(+1)");
    // Equal start and end: 24 hours. Two such days touch but stay two slots.
    r.window = DailyWindow{0, 0};
    r.dayCount = 2;
    const auto whole = AvailabilityEngine::slots({}, r);
    ASSERT_EQ(whole.size(), 2u);
    EXPECT_EQ(whole[0].end - whole[0].start, 86400.0);
    EXPECT_EQ(whole[1].start, whole[0].end);
    // An overnight window and an early start the next day overlap and join.
    r.window = DailyWindow{1200, 420};                      // 20:00-07:00
    r.overrides.set(WindowEdge::start, 360, "2025-03-06");  // 06:00
    r.overrides.set(WindowEdge::end, 1320, "2025-03-06");   // 22:00
    EXPECT_EQ(slotText(AvailabilityEngine::slots({}, r), utc), "03-05 20:00-22:00(+1)");
}

TEST(AvailabilityEngine, DaylightSavingOddZonesAndMissingDays)
{
    // Spring forward and fall back in two zones: windows and grid stay on local quarter hours.
    for (const char* id : {"America/Los_Angeles", "Europe/Berlin"}) {
        const TimeZone z = zone(id);
        auto r = request(std::string(id) == "Europe/Berlin" ? "2025-03-29" : "2025-03-08", z, 3);
        r.window = DailyWindow{0, 360};  // midnight to 06:00 crosses the jump
        const auto slots = AvailabilityEngine::slots({}, r);
        ASSERT_EQ(slots.size(), 3u) << id;
        const Calendar calendar(z);
        for (const Slot& slot : slots) {
            EXPECT_EQ(calendar.parts(slot.start).hour, 0) << id;
            EXPECT_EQ(calendar.parts(slot.end).hour, 6) << id;
            EXPECT_EQ(calendar.parts(slot.end).minute, 0) << id;
        }
        // The middle night is the short (or long) one.
        EXPECT_NE(slots[1].end - slots[1].start, 6 * 3600.0) << id;
    }
    const TimeZone la = zone("America/Los_Angeles");
    auto r = request("2025-03-09", la);
    r.window = DailyWindow{120, 300};  // 02:00 does not exist: the window starts at 03:00
    const std::vector<BusyInterval> meeting{
        busy("2025-03-09T03:20:00-07:00", "2025-03-09T03:50:00-07:00")};
    r.minimumMinutes = 15;
    EXPECT_EQ(slotText(AvailabilityEngine::slots(meeting, r), la),
              "03-09 03:00-03:15 03-09 04:00-05:00");
    // Fall back: 01:00-03:00 is three hours long, and the second 01:30 is still on the grid.
    auto back = request("2025-11-02", la);
    back.window = DailyWindow{60, 180};
    back.minimumMinutes = 0;
    const auto fall = AvailabilityEngine::slots({}, back);
    ASSERT_EQ(fall.size(), 1u);
    EXPECT_EQ(fall[0].end - fall[0].start, 3 * 3600.0);
    // Lord Howe shifts by 30 minutes: the window still opens at a local 09:00.
    const TimeZone lordHowe = zone("Australia/Lord_Howe");
    r = request("2025-10-05", lordHowe);
    r.window = DailyWindow{60, 240};  // 01:00-04:00 includes the skipped 02:00-02:30
    const auto skipped = AvailabilityEngine::slots({}, r);
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped[0].end - skipped[0].start, 2.5 * 3600);
    // Samoa skipped 2011-12-30: that day is left out, the others are there once each.
    const TimeZone apia = zone("Pacific/Apia");
    auto samoa = request("2011-12-29", apia, 3);
    EXPECT_EQ(slotText(AvailabilityEngine::slots({}, samoa), apia),
              "12-29 09:00-17:00 12-31 09:00-17:00");
}

TEST(AvailabilityEngine, HostileNumbersAreDefined)
{
    const TimeZone utc = TimeZone::utc();
    auto r = request("2025-03-05", utc);
    // Window minutes past the day or negative place no window; nothing crashes or overflows.
    for (std::int64_t minutes : {INT64_MAX, INT64_MIN, std::int64_t{1440}, std::int64_t{-1}}) {
        r.window = DailyWindow{minutes, 1020};
        EXPECT_TRUE(AvailabilityEngine::slots({}, r).empty());
        r.window = DailyWindow{540, 1020};
        r.overrides.set(WindowEdge::end, minutes, "2025-03-05");
        EXPECT_TRUE(AvailabilityEngine::slots({}, r).empty());
        r.overrides = {};
    }
    // Huge minimums leave nothing; huge negative ones keep everything.
    r.minimumMinutes = INT64_MAX;
    EXPECT_TRUE(AvailabilityEngine::slots({}, r).empty());
    r.minimumMinutes = INT64_MIN;
    EXPECT_EQ(AvailabilityEngine::slots({}, r).size(), 1u);
    // Huge grid steps and lead times.
    r.minimumMinutes = 30;
    r.snapMinutes = INT64_MAX;
    EXPECT_NO_THROW(AvailabilityEngine::slots({}, r));
    r.snapMinutes = 15;
    r.leadTime = LeadTime::interval(INT64_MAX, r.now, utc);
    EXPECT_TRUE(AvailabilityEngine::slots({}, r).empty());
    r.leadTime = LeadTime::interval(INT64_MIN, r.now, utc);
    EXPECT_EQ(AvailabilityEngine::slots({}, r).size(), 1u);
}

}  // namespace
}  // namespace nelvo
