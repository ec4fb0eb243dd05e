#include "kit/core/icu_zone.h"
#include "kit/core/time_zone.h"

#include "support/scoped_env.h"
#include "support/time_helpers.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace nelvo {
namespace {

using test::at;
using test::zone;

TEST(TimeZone, ResolvesAliasesWindowsNamesAndTheSystemZone)
{
    EXPECT_EQ(zone("US/Pacific").id(), "America/Los_Angeles");
    EXPECT_EQ(zone("Asia/Calcutta").id(), "Asia/Kolkata");
    EXPECT_FALSE(TimeZone::named("Mars/Olympus_Mons"));
    EXPECT_FALSE(TimeZone::named(""));
    EXPECT_EQ(zone("Asia/Kolkata").offsetSeconds(at("2025-06-01T00:00:00Z")), 19800);
    EXPECT_EQ(TimeZone::fromWindowsName("W. Europe Standard Time")->id(), "Europe/Berlin");
    // ICU answers Asia/Calcutta here.
    EXPECT_EQ(TimeZone::fromWindowsName("India Standard Time")->id(), "Asia/Kolkata");
    // IANA names and unknown texts are not Windows names.
    EXPECT_FALSE(TimeZone::fromWindowsName("Europe/Berlin"));
    EXPECT_FALSE(TimeZone::fromWindowsName("Mars Standard Time"));
    EXPECT_FALSE(TimeZone::fromWindowsName(""));
    EXPECT_FALSE(TimeZone::fromWindowsName(std::string(300, 'x')));
    // Two zones in turn, neither of them the zone of either test run: each call looks anew.
    for (const char* id : {"Asia/Tokyo", "America/Sao_Paulo"}) {
        const test::ScopedEnv tz("TZ", id);
        EXPECT_EQ(TimeZone::system().id(), id);
    }
    // An alias resolves as a named zone does.
    const test::ScopedEnv tz("TZ", "US/Pacific");
    EXPECT_EQ(TimeZone::system().id(), "America/Los_Angeles");
}

// The kept offset spans must give ICU's own answer whatever the order of the questions:
// forwards and backwards over transitions, and alternating between zones and far years.
TEST(TimeZone, OffsetsMatchTheZoneRulesInAnyOrder)
{
    const auto icuOffset = [](const TimeZone& z, Date d) {
        int32_t raw = 0, dst = 0;
        UErrorCode status = U_ZERO_ERROR;
        icuZone(z).getOffset(d.udate(), false, raw, dst, status);
        return std::pair((raw + dst) / 1000, dst != 0);
    };
    const std::vector<TimeZone> zones{zone("America/New_York"), zone("Europe/London"),
                                      zone("Australia/Lord_Howe"), zone("Pacific/Apia"),
                                      zone("Asia/Kolkata")};
    const Date from = at("2011-01-01T00:00:00Z");
    const double step = 1753.0;  // seconds: lands on every side of the transitions
    const int steps = 2 * 366 * 86400 / 1753;
    for (const bool backwards : {false, true}) {
        for (int i = 0; i < steps; ++i) {
            const int n = backwards ? steps - 1 - i : i;
            for (const TimeZone& z : zones) {
                const Date d = from.addingSeconds(n * step);
                ASSERT_EQ(std::pair(z.offsetSeconds(d), z.isDaylightSavingTime(d)), icuOffset(z, d))
                    << z.id() << " " << d.iso8601();
            }
        }
    }
    // The exact instants of a transition, and one far from the last lookup.
    const TimeZone ny = zone("America/New_York");
    EXPECT_EQ(ny.offsetSeconds(at("2025-03-09T07:00:00Z")), -4 * 3600);
    EXPECT_EQ(ny.offsetSeconds(at("2025-03-09T06:59:59Z")), -5 * 3600);
    EXPECT_EQ(ny.offsetSeconds(at("1900-06-01T00:00:00Z")), -5 * 3600);
    EXPECT_EQ(ny.offsetSeconds(at("2025-03-09T07:00:00Z")), -4 * 3600);
}

}  // namespace
}  // namespace nelvo
