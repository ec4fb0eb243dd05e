#include "support/golden.h"
#include "support/time_helpers.h"

#include <unicode/timezone.h>

#include <sstream>
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
    std::istringstream offsets(test::readFile(test::testDataPath("zones/offsets_since_icu.txt")));
    for (std::string id, iso; offsets >> id;) {
        int hours = 0;
        if (id.starts_with('#')) {
            std::getline(offsets, iso);
        } else if (offsets >> iso >> hours) {
            EXPECT_EQ(hoursAt(id.c_str(), iso.c_str()), hours) << id << " " << iso;
        }
    }
    EXPECT_FALSE(zone("America/Mexico_City").isDaylightSavingTime(at("2025-07-15T12:00:00Z")));
    // Zones tzdata added after ICU's release resolve.
    EXPECT_TRUE(TimeZone::named("America/Coyhaique"));
    EXPECT_EQ(zone("Pacific/Chatham").offsetSeconds(at("2090-01-15T12:00:00Z")), 13 * 3600 + 2700);
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
}

}  // namespace
}  // namespace nelvo
