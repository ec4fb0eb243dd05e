#include "kit/core/day_key.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::at;
using test::zone;

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
    for (const char* bad : {"", "07/03/2025", "2025-13-45", "2025-3-7", "2025-02-29", "2025-03-07 ",
                            "２０２５-03-07"})
        EXPECT_FALSE(DayKey::date(bad, TimeZone::utc())) << bad;
    // Weekdays from the key alone.
    EXPECT_EQ(DayKey::weekday("2025-03-08"), 7);
    EXPECT_EQ(DayKey::weekday("2025-03-09"), 1);
    EXPECT_EQ(DayKey::weekday("2000-02-29"), 3);
    EXPECT_FALSE(DayKey::weekday("2025-02-30"));
}

}  // namespace
}  // namespace nelvo
