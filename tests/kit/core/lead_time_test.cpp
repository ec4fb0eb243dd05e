#include "kit/core/lead_time.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::at;
using test::day;
using test::zone;

TEST(LeadTime, NextDayFollowsTheRealLengthOfTheDay)
{
    const TimeZone utc = TimeZone::utc();
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

}  // namespace
}  // namespace nelvo
