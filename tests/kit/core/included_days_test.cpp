#include "kit/core/included_days.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::day;
using test::zone;

TEST(IncludedDays, CountsIncludedDaysWithinTheCap)
{
    const TimeZone berlin = zone("Europe/Berlin");
    const DayExclusions weekendsOff;
    // Friday with two days wanted: Friday and Monday, four calendar days.
    EXPECT_EQ(IncludedDays::span(day("2025-03-07", berlin), 2, weekendsOff, berlin),
              (IncludedSpan{4, {"2025-03-07", "2025-03-10"}}));
    // Saturday with one day wanted: Monday, three calendar days.
    EXPECT_EQ(IncludedDays::span(day("2025-03-08", berlin), 1, weekendsOff, berlin),
              (IncludedSpan{3, {"2025-03-10"}}));
    // A toggled Saturday is included; a toggled Tuesday excluded.
    DayExclusions toggled;
    toggled.toggled = {"2025-03-08", "2025-03-11"};
    EXPECT_EQ(IncludedDays::span(day("2025-03-07", berlin), 3, toggled, berlin),
              (IncludedSpan{4, {"2025-03-07", "2025-03-08", "2025-03-10"}}));
    // Only Sundays off: Saturday counts.
    const DayExclusions sundaysOff{.saturdaysOff = false, .sundaysOff = true, .toggled = {}};
    EXPECT_EQ(IncludedDays::span(day("2025-03-08", berlin), 2, sundaysOff, berlin),
              (IncludedSpan{3, {"2025-03-08", "2025-03-10"}}));
    // A day the zone skipped counts as a calendar day and is never included.
    const TimeZone apia = zone("Pacific/Apia");
    EXPECT_EQ(IncludedDays::span(day("2011-12-28", apia), 4, DayExclusions{false, false, {}}, apia),
              (IncludedSpan{5, {"2011-12-28", "2011-12-29", "2011-12-31", "2012-01-01"}}));
    // Nothing wanted, or no cap: nothing.
    EXPECT_EQ(IncludedDays::span(day("2025-03-07", berlin), 0, weekendsOff, berlin),
              IncludedSpan{});
    EXPECT_EQ(IncludedDays::span(day("2025-03-07", berlin), 3, weekendsOff, berlin, -1),
              IncludedSpan{});
    // Fewer included days within the cap than wanted: the cap, and the keys found.
    EXPECT_EQ(IncludedDays::span(day("2025-03-07", berlin), 3, weekendsOff, berlin, 3),
              (IncludedSpan{3, {"2025-03-07"}}));
}

}  // namespace
}  // namespace nelvo
