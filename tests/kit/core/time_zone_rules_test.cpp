#include "kit/core/icu_zone.h"
#include "support/time_helpers.h"

#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <string>

namespace nelvo {
namespace {

using test::at;
using test::zone;

int hoursAt(const char* id, const char* iso)
{
    return zone(id).offsetSeconds(at(iso)) / 3600;
}

// Rules built from the machine's tzdata are in use only when the build could make them.
bool machineRules()
{
    TimeZone::utc();  // sets the rules folder up before asking ICU
    UErrorCode status = U_ZERO_ERROR;
    const std::string version = icu::TimeZone::getTZDataVersion(status);
    return U_SUCCESS(status) && version >= "2023";
}

TEST(TimeZoneRules, ChangesSinceIcusOwnRulesHoldAndCarryOn)
{
    if (!machineRules())
        GTEST_SKIP() << "built without genrb: ICU's own zone rules";
    // Mexico dropped daylight time in October 2022
    EXPECT_EQ(hoursAt("America/Mexico_City", "2025-07-15T12:00:00Z"), -6);
    EXPECT_FALSE(zone("America/Mexico_City").isDaylightSavingTime(at("2025-07-15T12:00:00Z")));
    // Egypt brought daylight time back in 2023
    EXPECT_EQ(hoursAt("Africa/Cairo", "2025-07-15T12:00:00Z"), 3);
    EXPECT_EQ(hoursAt("Africa/Cairo", "2025-01-15T12:00:00Z"), 2);
    // Kazakhstan moved to one zone, UTC+5, in March 2024
    EXPECT_EQ(hoursAt("Asia/Almaty", "2025-01-15T12:00:00Z"), 5);
    // Greenland: standard time UTC-2 since 2023, daylight time UTC-1 since 2024
    EXPECT_EQ(hoursAt("America/Nuuk", "2025-01-15T12:00:00Z"), -2);
    EXPECT_EQ(hoursAt("America/Nuuk", "2025-07-15T12:00:00Z"), -1);
    // zones tzdata added after ICU's release resolve
    ASSERT_TRUE(TimeZone::named("America/Ciudad_Juarez"));
    EXPECT_EQ(hoursAt("America/Ciudad_Juarez", "2025-07-15T12:00:00Z"), -6);
    EXPECT_TRUE(TimeZone::named("America/Coyhaique"));
    // ICU's old ids still resolve
    EXPECT_EQ(hoursAt("PST", "2025-01-15T12:00:00Z"), -8);
    // Nuuk changes at -1:00 local, before the Sunday starts: 1:00 UTC
    EXPECT_EQ(hoursAt("America/Nuuk", "2090-03-26T00:59:59Z"), -2);
    EXPECT_EQ(hoursAt("America/Nuuk", "2090-03-26T01:00:00Z"), -1);
    // Cairo starts at 0:00 on the last Friday of April and ends at 24:00 on the last Thursday
    // of October
    EXPECT_EQ(hoursAt("Africa/Cairo", "2090-04-27T21:59:59Z"), 2);
    EXPECT_EQ(hoursAt("Africa/Cairo", "2090-04-27T22:00:00Z"), 3);
    EXPECT_EQ(hoursAt("Africa/Cairo", "2090-10-26T20:59:59Z"), 3);
    EXPECT_EQ(hoursAt("Africa/Cairo", "2090-10-26T21:00:00Z"), 2);
    // Israel: 26:00 on the Thursday of the fourth week is 2:00 on Friday
    EXPECT_EQ(hoursAt("Asia/Jerusalem", "2090-03-23T23:59:59Z"), 2);
    EXPECT_EQ(hoursAt("Asia/Jerusalem", "2090-03-24T00:00:00Z"), 3);
    // southern summer in Santiago; Troll saves two hours; Chatham +13:45 in January
    EXPECT_EQ(hoursAt("America/Santiago", "2090-01-15T12:00:00Z"), -3);
    EXPECT_EQ(hoursAt("America/Santiago", "2090-07-15T12:00:00Z"), -4);
    EXPECT_EQ(hoursAt("Antarctica/Troll", "2090-07-15T12:00:00Z"), 2);
    EXPECT_EQ(zone("Pacific/Chatham").offsetSeconds(at("2090-01-15T12:00:00Z")), 13 * 3600 + 2700);
    // Morocco's listed Ramadan changes end in 2087; +1 stays after them
    EXPECT_EQ(hoursAt("Africa/Casablanca", "2095-01-15T12:00:00Z"), 1);
    EXPECT_EQ(hoursAt("Europe/Dublin", "2090-07-15T12:00:00Z"), 1);
    EXPECT_EQ(hoursAt("Europe/Dublin", "2090-01-15T12:00:00Z"), 0);
}

TEST(TimeZoneRules, ClassicRulesStillRight)
{
    // Dublin: GMT in winter, IST (daylight time, an hour ahead) in summer
    const TimeZone dublin = zone("Europe/Dublin");
    EXPECT_EQ(dublin.offsetSeconds(at("2025-01-15T12:00:00Z")), 0);
    EXPECT_FALSE(dublin.isDaylightSavingTime(at("2025-01-15T12:00:00Z")));
    EXPECT_EQ(dublin.offsetSeconds(at("2025-07-15T12:00:00Z")), 3600);
    EXPECT_TRUE(dublin.isDaylightSavingTime(at("2025-07-15T12:00:00Z")));
    // far future follows the current rule
    EXPECT_EQ(hoursAt("America/New_York", "2090-07-01T12:00:00Z"), -4);
    EXPECT_EQ(hoursAt("America/New_York", "2090-12-01T12:00:00Z"), -5);
    EXPECT_EQ(hoursAt("Australia/Sydney", "2090-01-15T12:00:00Z"), 11);
    // standard and daylight names come from ICU's own data, unchanged
    icu::UnicodeString name;
    icuZone(zone("America/Los_Angeles"))
        .getDisplayName(false, icu::TimeZone::LONG, icu::Locale::getUS(), name);
    EXPECT_EQ(toUtf8(name), "Pacific Standard Time");
}

}  // namespace
}  // namespace nelvo
