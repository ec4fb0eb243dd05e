#include "kit/render/slot_formatter.h"

#include "kit/core/ascii_text.h"

#include "kit/render/render_samples.h"

#include <gtest/gtest.h>

#include <vector>

namespace nelvo {
namespace {

using test::at;
using test::zone;

// A time in Los Angeles in early March 2025 (UTC-8): pst("03T22:00") is Monday 22:00.
Date pst(const std::string& dayAndTime)
{
    return at(("2025-03-" + dayAndTime + ":00-08:00").c_str());
}

TEST(SlotFormatter, TimeRangesClockTimesAndLabels)
{
    const TimeZone la = zone("America/Los_Angeles");
    // Ends crossing midnight, and columns a day ahead, are marked in the renderers' tests. A Los
    // Angeles column behind its Tokyo day, crossing back into it: the start is marked.
    EXPECT_EQ(SlotFormatter::text(Slot{pst("03T23:00"), pst("04T01:00")}, la,
                                  at("2025-03-04T00:00:00+09:00"), zone("Asia/Tokyo"), false,
                                  " \u2013 ", false),
              "11:00pm (Mon) \u2013 1:00am");
    // Lower case just after midnight (upper case and 24 hours: ClockTextsAgreeWithTheirPatterns).
    EXPECT_EQ(SlotFormatter::time(pst("03T00:05"), la, false, false), "12:05am");
    EXPECT_EQ(SlotFormatter::dayLabel(pst("03T12:00"), zone("Pacific/Kiritimati")), "Tue, Mar 4");

    const auto range = [](const char* start, const char* end, const TimeZone& z) {
        return SlotFormatter::rangeLabel(at(start), at(end), z);
    };
    // Two years: never a year (one day and one month: the table's headings).
    EXPECT_EQ(range("2024-12-30T00:00:00-08:00", "2025-01-03T12:00:00-08:00", la),
              "Dec 30 \u2013 Jan 3");
    // Days are the zone's: this instant is still Mar 2 in Los Angeles, Mar 3 in UTC.
    EXPECT_EQ(range("2025-03-03T02:00:00Z", "2025-03-03T12:00:00Z", la), "Mar 2 \u2013 3");
    const auto describe = [](const char* id, std::vector<Date> dates) {
        return SlotFormatter::zoneDescription(zone(id), dates, "fallback");
    };
    const Date winter = at("2025-01-15T12:00:00Z");
    const Date summer = at("2025-07-15T12:00:00Z");

    // Daylight names with their abbreviations (standard ones: the messages' golden files).
    EXPECT_EQ(describe("America/Los_Angeles", {summer}), "Pacific Daylight Time (PDT)");
    // Zones without a common English abbreviation get a GMT offset.
    EXPECT_EQ(describe("Asia/Kolkata", {winter, summer}), "India Standard Time (GMT+5:30)");
    // With no dates at all the generic name alone, as across the March change (MessageLayout).
    EXPECT_EQ(describe("America/Los_Angeles", {}), "Pacific Time");
    // An abbreviation equal to the name is not repeated (Casablanca outside its summer time).
    EXPECT_EQ(describe("Africa/Casablanca", {at("2025-03-05T12:00:00Z")}), "GMT");
}

// Clock times and day comparisons are worked out from the zone's offset rather than through
// the formatter; they must say exactly what the patterns say.
TEST(SlotFormatter, ClockTextsAgreeWithTheirPatterns)
{
    const auto check = [&](const TimeZone& z, Date date) {
        const auto format = [&](const char* pattern, Date d) {
            return DateFormatter::cached(pattern, z).string(d);
        };
        const std::string hhmm = format("HH:mm", date);
        const Date later = date.addingSeconds(3599);
        ASSERT_EQ(SlotFormatter::time(date, z, false, true),
                  AsciiText::uppered(format("h:mma", date)))
            << date.iso8601();
        ASSERT_EQ(SlotFormatter::time(date, z, true, true), hhmm) << date.iso8601();
        // A slot of no length, judged against another day, shows its weekday.
        ASSERT_EQ(SlotFormatter::text(Slot{date, date}, z, date.addingSeconds(-3 * 86400), z, true,
                                      "-", true),
                  hhmm + "-" + hhmm + " (" + format("EEE", date) + ")");
        // An hour-long slot is marked exactly when it ends on the next calendar day.
        const std::string hour =
            SlotFormatter::text(Slot{date, later}, z, date, z, true, "-", true);
        ASSERT_EQ(hour.find('(') == std::string::npos,
                  format("yyyy-MM-dd", date) == format("yyyy-MM-dd", later))
            << date.iso8601() << hour;
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

}  // namespace
}  // namespace nelvo
