#include "kit/core/calendar_event.h"
#include "kit/core/day_key.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

#include <unordered_set>

namespace nelvo {
namespace {

using test::at;
using test::zone;

CalendarEvent event(const char* title)
{
    return CalendarEvent{.eventID = "E1",
                         .occurrenceStart = at("2025-03-07T14:00:00Z"),
                         .start = at("2025-03-07T14:00:00Z"),
                         .end = at("2025-03-07T15:00:00Z"),
                         .title = title,
                         .calendarID = "work",
                         .calendarColorHex = "#3B82F6"};
}

TEST(CalendarEvent, IdentityEqualityAndViewId)
{
    // Same occurrence, other title: unequal records, the same identity.
    const CalendarEvent a = event("Standup");
    const CalendarEvent b = event("Retro");
    EXPECT_NE(a, b);
    EXPECT_EQ(a.id(), b.id());
    std::unordered_set<CalendarEvent> events{a, b, a};
    EXPECT_EQ(events.size(), 2u);
    std::unordered_set<AdjustmentKey> keys{a.id(), b.id()};
    EXPECT_EQ(keys.size(), 1u);
    // The view id: whole seconds end in ".0"; fractions are the shortest round-trip text.
    EXPECT_EQ(a.viewID(), "work|E1|763048800.0");
    CalendarEvent c = a;
    c.occurrenceStart = Date{763048800.25};
    EXPECT_EQ(c.viewID(), "work|E1|763048800.25");
    c.occurrenceStart = Date{0.1};
    EXPECT_EQ(c.viewID(), "work|E1|0.1");
    c.occurrenceStart = Date{-5};
    EXPECT_EQ(c.viewID(), "work|E1|-5.0");
}

TEST(DayKey, NamesDaysInTheZone)
{
    // 23:30 at UTC-5 is still the 7th there and already the 8th in UTC.
    const Date late = at("2025-03-07T23:30:00-05:00");
    EXPECT_EQ(DayKey::string(late, zone("America/New_York")), "2025-03-07");
    EXPECT_EQ(DayKey::string(late, TimeZone::utc()), "2025-03-08");
    // The fast path writes what the formatter writes.
    for (const char* id : {"Pacific/Kiritimati", "America/Los_Angeles", "Asia/Kolkata"}) {
        const TimeZone z = zone(id);
        EXPECT_EQ(DayKey::string(late, z), DayKey::formatter(z).string(late)) << id;
    }
    // Parsing gives local midnight, and is strict.
    EXPECT_EQ(test::iso(DayKey::date("2025-03-07", zone("Asia/Kolkata"))), "2025-03-06T18:30:00Z");
    for (const char* bad : {"", "07/03/2025", "2025-13-45", "2025-3-7", "2025-02-29",
                            "2025-03-07 ", "２０２５-03-07"})
        EXPECT_FALSE(DayKey::date(bad, TimeZone::utc())) << bad;
    // Weekdays from the key alone.
    EXPECT_EQ(DayKey::weekday("2025-03-08"), 7);
    EXPECT_EQ(DayKey::weekday("2025-03-09"), 1);
    EXPECT_EQ(DayKey::weekday("2000-02-29"), 3);
    EXPECT_FALSE(DayKey::weekday("2025-02-30"));
    // Text order is calendar order.
    EXPECT_LT(DayKey::string(at("2025-09-30T12:00:00Z"), TimeZone::utc()),
              DayKey::string(at("2025-10-01T12:00:00Z"), TimeZone::utc()));
}

}  // namespace
}  // namespace nelvo
