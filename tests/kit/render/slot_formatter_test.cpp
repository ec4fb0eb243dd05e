#include "kit/render/slot_formatter.h"

#include "tests/kit/render/render_samples.h"

#include <gtest/gtest.h>

#include <vector>

namespace nelvo {
namespace {

using test::at;
using test::slot;
using test::zone;

const char* const enDash = " \u2013 ";

TEST(SlotFormatter, TimeRangesMarkEndPointsOnOtherDays)
{
    const TimeZone la = zone("America/Los_Angeles");
    const Date monday = at("2025-03-03T00:00:00-08:00");
    const Slot overnight = slot("2025-03-03T22:00:00-08:00", "2025-03-04T01:00:00-08:00");

    // Crossing midnight: only the end carries a marker, in either case and separator.
    EXPECT_EQ(SlotFormatter::text(overnight, la, monday, la, false, " - ", true),
              "10:00PM - 1:00AM (Tue)");
    EXPECT_EQ(SlotFormatter::text(overnight, la, monday, la, false, enDash, false),
              "10:00pm \u2013 1:00am (Tue)");
    // A slot wholly on the next day: one marker, at the end.
    EXPECT_EQ(SlotFormatter::text(slot("2025-03-04T01:00:00-08:00", "2025-03-04T03:00:00-08:00"),
                                  la, monday, la, false, " - ", true),
              "1:00AM - 3:00AM (Tue)");
    // Ending exactly at midnight counts as crossing into the next day.
    EXPECT_EQ(SlotFormatter::text(slot("2025-03-03T21:00:00-08:00", "2025-03-04T00:00:00-08:00"),
                                  la, monday, la, false, " - ", true),
              "9:00PM - 12:00AM (Tue)");
    // 24-hour mode ignores the case flag.
    EXPECT_EQ(SlotFormatter::text(slot("2025-03-03T09:00:00-08:00", "2025-03-03T17:30:00-08:00"),
                                  la, monday, la, true, " - ", true),
              "09:00 - 17:30");
    // A Tokyo column a day ahead of its Los Angeles day.
    EXPECT_EQ(SlotFormatter::text(slot("2025-03-03T17:00:00-08:00", "2025-03-03T18:00:00-08:00"),
                                  zone("Asia/Tokyo"), monday, la, false, enDash, false),
              "10:00am \u2013 11:00am (Tue)");
    // A Los Angeles column behind its Tokyo day, crossing back into it: the start is marked.
    const Date tokyoTuesday = at("2025-03-04T00:00:00+09:00");
    EXPECT_EQ(SlotFormatter::text(slot("2025-03-04T16:00:00+09:00", "2025-03-04T18:00:00+09:00"),
                                  la, tokyoTuesday, zone("Asia/Tokyo"), false, enDash, false),
              "11:00pm (Mon) \u2013 1:00am");
}

TEST(SlotFormatter, ClockTimesAndDayLabels)
{
    const TimeZone la = zone("America/Los_Angeles");
    const Date noon = at("2025-03-03T12:00:00-08:00");
    const Date midnight = at("2025-03-03T00:05:00-08:00");

    // Noon and just after midnight in both cases, and in 24-hour mode.
    EXPECT_EQ(SlotFormatter::time(noon, la, false, true), "12:00PM");
    EXPECT_EQ(SlotFormatter::time(midnight, la, false, false), "12:05am");
    EXPECT_EQ(SlotFormatter::time(midnight, la, true, false), "00:05");
    // The same instant is already Monday evening in Kolkata.
    EXPECT_EQ(SlotFormatter::time(noon, zone("Asia/Kolkata"), true, false), "01:30");
    EXPECT_EQ(SlotFormatter::longDayLabel(noon, la), "Monday, March 3, 2025");
    EXPECT_EQ(SlotFormatter::dayLabel(noon, la), "Mon, Mar 3");
    EXPECT_EQ(SlotFormatter::dayLabel(noon, zone("Pacific/Kiritimati")), "Tue, Mar 4");
}

// Clock times and day comparisons are worked out from the zone's offset rather than through
// the formatter; they must say exactly what the patterns say.
TEST(SlotFormatter, ClockTextsAgreeWithTheirPatterns)
{
    const auto upper = [](std::string text) {
        for (char& c : text)
            c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        return text;
    };
    const auto check = [&](const TimeZone& z, Date date) {
        const std::string hm = DateFormatter::cached("h:mma", z).string(date);
        const std::string hhmm = DateFormatter::cached("HH:mm", z).string(date);
        const std::string key = DateFormatter::cached("yyyy-MM-dd", z).string(date);
        const Date later = date.addingSeconds(3599);
        const bool endsSameDay = key == DateFormatter::cached("yyyy-MM-dd", z).string(later);
        ASSERT_EQ(SlotFormatter::time(date, z, false, true), upper(hm)) << date.iso8601();
        ASSERT_EQ(SlotFormatter::time(date, z, true, true), hhmm) << date.iso8601();
        // A slot of no length, judged against another day, shows its weekday.
        ASSERT_EQ(SlotFormatter::text(Slot{date, date}, z, date.addingSeconds(-3 * 86400), z, true,
                                      "-", true),
                  hhmm + "-" + hhmm + " (" + DateFormatter::cached("EEE", z).string(date) + ")");
        // An hour-long slot is marked exactly when it ends on the next calendar day.
        const std::string hour =
            SlotFormatter::text(Slot{date, later}, z, date, z, true, "-", true);
        ASSERT_EQ(hour.find('(') == std::string::npos, endsSameDay) << date.iso8601() << hour;
    };

    // Half-hour daylight saving, quarter-hour offsets, a skipped day, and the present.
    for (const char* id : {"America/Los_Angeles", "Australia/Lord_Howe", "Asia/Kathmandu",
                           "Pacific/Chatham", "Pacific/Apia", "Europe/London"}) {
        const TimeZone z = zone(id);
        for (Date d = at("2011-01-01T00:00:30Z"); d < at("2012-06-01T00:00:00Z");
             d = d.addingSeconds(4 * 3600 + 7 * 60 + 13))
            check(z, d);
        for (Date d = at("2025-01-01T00:00:00Z"); d < at("2026-01-01T00:00:00Z");
             d = d.addingSeconds(6 * 3600 + 15 * 60))
            check(z, d);
    }
    // Local mean time with offsets in seconds (Amsterdam until 1937), and far-off years.
    for (Date d = at("1890-01-01T00:00:00Z"); d < at("1950-01-01T00:00:00Z");
         d = d.addingSeconds(5 * 86400 + 7 * 3600 + 11 * 60 + 7))
        check(zone("Europe/Amsterdam"), d);
    check(zone("Asia/Tokyo"), Date{-6.0e10});
    check(zone("Asia/Tokyo"), Date{4.0e11});
}

TEST(SlotFormatter, ZoneDescriptionNamesThePeriod)
{
    const auto describe = [](const char* id, std::vector<Date> dates) {
        return SlotFormatter::zoneDescription(zone(id), dates, "fallback");
    };
    const Date winter = at("2025-01-15T12:00:00Z");
    const Date summer = at("2025-07-15T12:00:00Z");

    // Standard and daylight names with their abbreviations.
    EXPECT_EQ(describe("America/Los_Angeles", {winter}), "Pacific Standard Time (PST)");
    EXPECT_EQ(describe("America/Los_Angeles", {summer}), "Pacific Daylight Time (PDT)");
    // Zones without a common English abbreviation get a GMT offset.
    EXPECT_EQ(describe("Europe/Berlin", {winter}), "Central European Standard Time (GMT+1)");
    EXPECT_EQ(describe("Asia/Kolkata", {winter, summer}), "India Standard Time (GMT+5:30)");
    EXPECT_EQ(describe("Etc/UTC", {winter}), "Coordinated Universal Time (UTC)");
    // Across the March change, and with no dates at all: the generic name alone.
    EXPECT_EQ(describe("America/Los_Angeles",
                       {at("2025-03-08T12:00:00-08:00"), at("2025-03-10T12:00:00-07:00")}),
              "Pacific Time");
    EXPECT_EQ(describe("America/Los_Angeles", {}), "Pacific Time");
    // An abbreviation equal to the name is not repeated (Casablanca outside its summer time).
    EXPECT_EQ(describe("Africa/Casablanca", {at("2025-03-05T12:00:00Z")}), "GMT");
}

TEST(SlotFormatter, RangeLabelsShowNoYear)
{
    const TimeZone la = zone("America/Los_Angeles");
    const auto range = [&](const char* start, const char* end) {
        return SlotFormatter::rangeLabel(at(start), at(end), la);
    };

    // One day, one month, two months, two years.
    EXPECT_EQ(range("2025-03-03T00:00:00-08:00", "2025-03-03T23:00:00-08:00"), "Mar 3");
    EXPECT_EQ(range("2025-03-03T00:00:00-08:00", "2025-03-07T12:00:00-08:00"), "Mar 3 \u2013 7");
    EXPECT_EQ(range("2025-03-30T00:00:00-07:00", "2025-04-02T12:00:00-07:00"),
              "Mar 30 \u2013 Apr 2");
    EXPECT_EQ(range("2024-12-30T00:00:00-08:00", "2025-01-03T12:00:00-08:00"),
              "Dec 30 \u2013 Jan 3");
    // Days are the zone's: this instant is still Mar 2 in Los Angeles, Mar 3 in UTC.
    EXPECT_EQ(SlotFormatter::rangeLabel(at("2025-03-03T02:00:00Z"), at("2025-03-03T12:00:00Z"), la),
              "Mar 2 \u2013 3");
    EXPECT_EQ(SlotFormatter::rangeLabel(at("2025-03-03T02:00:00Z"), at("2025-03-03T12:00:00Z"),
                                        TimeZone::utc()),
              "Mar 3");
}

}  // namespace
}  // namespace nelvo
