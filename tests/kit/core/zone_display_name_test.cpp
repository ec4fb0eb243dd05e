#include "kit/core/zone_display_name.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::at;
using test::zone;

TEST(ZoneDisplayName, NamesAndOffsetTexts)
{
    // Fixed names, reached through aliases too.
    EXPECT_EQ(ZoneDisplayName::name(zone("US/Eastern")), "Eastern Time");
    for (const char* utc : {"UTC", "GMT", "Etc/UTC", "Etc/GMT", "Etc/GMT0"})
        EXPECT_EQ(ZoneDisplayName::name(zone(utc)), "UTC") << utc;
    // Etc/GMT signs are inverted; the caption shows the real offset.
    EXPECT_EQ(ZoneDisplayName::name(zone("Etc/GMT+12")), "GMT-12");
    EXPECT_EQ(ZoneDisplayName::name(zone("Etc/GMT-14")), "GMT+14");
    // Otherwise the last part of the identifier, underscores as spaces.
    EXPECT_EQ(ZoneDisplayName::name(zone("America/Argentina/Buenos_Aires")), "Buenos Aires");
    // A label is returned unchanged; a blank one (tabs, a no-break space) falls back.
    EXPECT_EQ(ZoneDisplayName::name(zone("Europe/Paris"), " HQ "), " HQ ");
    EXPECT_EQ(ZoneDisplayName::name(zone("Europe/Paris"), " \t\xC2\xA0"), "Paris");

    // Offsets at an instant.
    const Date winter = at("2025-01-15T12:00:00Z");
    EXPECT_EQ(ZoneDisplayName::offsetText("Asia/Kolkata", winter), "UTC+5:30");
    EXPECT_EQ(ZoneDisplayName::offsetText("Etc/UTC", winter), "UTC+0:00");
    // The sign applies to the whole offset: St John's is 3:30 behind.
    EXPECT_EQ(ZoneDisplayName::offsetText("America/St_Johns", winter), "UTC-3:30");
    // Daylight-saving time counts.
    EXPECT_EQ(ZoneDisplayName::offsetText("America/Los_Angeles", at("2025-07-15T12:00:00Z")),
              "UTC-7:00");
    EXPECT_EQ(ZoneDisplayName::offsetText("Mars/Base", winter), "");
}

}  // namespace
}  // namespace nelvo
