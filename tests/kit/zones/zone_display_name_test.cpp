#include "kit/zones/horizontal_space.h"
#include "kit/zones/zone_display_name.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::at;
using test::zone;

TEST(ZoneDisplayName, FixedNamesEtcOffsetsAndLastParts)
{
    // The four US zones and every spelling of UTC have fixed names, aliases included.
    EXPECT_EQ(ZoneDisplayName::name(zone("America/Los_Angeles")), "Pacific Time");
    EXPECT_EQ(ZoneDisplayName::name(zone("US/Eastern")), "Eastern Time");
    for (const char* utc : {"UTC", "GMT", "Etc/UTC", "Etc/GMT"})
        EXPECT_EQ(ZoneDisplayName::name(zone(utc)), "UTC") << utc;
    // Etc/GMT signs are inverted; the caption shows the real offset.
    EXPECT_EQ(ZoneDisplayName::name(zone("Etc/GMT+12")), "GMT-12");
    EXPECT_EQ(ZoneDisplayName::name(zone("Etc/GMT-14")), "GMT+14");
    EXPECT_EQ(ZoneDisplayName::name(zone("Etc/GMT-5")), "GMT+5");
    EXPECT_EQ(ZoneDisplayName::name(zone("Etc/GMT0")), "UTC");
    // Otherwise the last part of the identifier, underscores as spaces.
    EXPECT_EQ(ZoneDisplayName::name(zone("America/Argentina/Buenos_Aires")), "Buenos Aires");
    EXPECT_EQ(ZoneDisplayName::name(zone("Europe/London")), "London");
}

TEST(ZoneDisplayName, CustomLabelWinsUnlessBlank)
{
    const TimeZone paris = zone("Europe/Paris");
    // A real label comes back unchanged, surrounding spaces included.
    EXPECT_EQ(ZoneDisplayName::name(paris, "HQ"), "HQ");
    EXPECT_EQ(ZoneDisplayName::name(paris, " HQ "), " HQ ");
    // Blank labels (spaces, tabs, a no-break space) fall back to the rules.
    EXPECT_EQ(ZoneDisplayName::name(paris, "  \t"), "Paris");
    EXPECT_EQ(ZoneDisplayName::name(paris, "\xC2\xA0"), "Paris");
    EXPECT_EQ(ZoneDisplayName::name(paris, ""), "Paris");
}

TEST(ZoneDisplayName, OffsetTextAtAnInstant)
{
    const Date winter = at("2025-01-15T12:00:00Z");
    const Date summer = at("2025-07-15T12:00:00Z");
    EXPECT_EQ(ZoneDisplayName::offsetText("Asia/Kolkata", winter), "UTC+5:30");
    EXPECT_EQ(ZoneDisplayName::offsetText("America/Los_Angeles", winter), "UTC-8:00");
    // Daylight-saving time counts.
    EXPECT_EQ(ZoneDisplayName::offsetText("America/Los_Angeles", summer), "UTC-7:00");
    EXPECT_EQ(ZoneDisplayName::offsetText("Etc/UTC", winter), "UTC+0:00");
    // A negative offset with minutes keeps its sign on the whole: St John's is -3:30.
    EXPECT_EQ(ZoneDisplayName::offsetText("America/St_Johns", winter), "UTC-3:30");
    // An identifier that names no zone gives no text.
    EXPECT_EQ(ZoneDisplayName::offsetText("Mars/Base", winter), "");
}

TEST(HorizontalSpace, TrimsSpacesAndTabsButNotLineBreaks)
{
    EXPECT_EQ(HorizontalSpace::trimmed(" \tHQ\t "), "HQ");
    // Unicode space separators count (no-break space, ideographic space).
    EXPECT_EQ(HorizontalSpace::trimmed("\xC2\xA0HQ\xE3\x80\x80"), "HQ");
    // Line breaks are not horizontal space.
    EXPECT_EQ(HorizontalSpace::trimmed("\nHQ\n"), "\nHQ\n");
    // Inner space stays; malformed UTF-8 is left alone.
    EXPECT_EQ(HorizontalSpace::trimmed(" New York "), "New York");
    EXPECT_EQ(HorizontalSpace::trimmed(" \xA0\xC2"), "\xA0\xC2");
    EXPECT_EQ(HorizontalSpace::trimmed("   "), "");
}

}  // namespace
}  // namespace nelvo
