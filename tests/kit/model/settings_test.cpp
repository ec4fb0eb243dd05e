#include "kit/model/settings.h"

#include "support/golden.h"
#include "support/time_helpers.h"

#include <gtest/gtest.h>

#include <climits>

namespace nelvo {
namespace {

using test::zone;
using Ids = std::vector<std::string>;

Settings withRulers(std::initializer_list<const char*> ids)
{
    Settings settings;
    for (const char* id : ids)
        settings.zones.push_back(ZoneEntry{id, std::nullopt});
    return settings;
}

Ids rulerIds(const Settings& settings)
{
    Ids ids;
    for (const ZoneEntry& entry : settings.zones)
        ids.push_back(entry.id);
    return ids;
}

CalendarInfo calendar(const char* id, bool isBirthdayOrSubscription = false)
{
    CalendarInfo info;
    info.id = id;
    info.isBirthdayOrSubscription = isBirthdayOrSubscription;
    return info;
}

TEST(Settings, RulerEditsAndIncludedCalendars)
{
    const TimeZone ny = zone("America/New_York");
    Settings s = withRulers({"America/New_York", "Europe/Paris"});
    // Adding a zone already there, even under an alias, changes nothing.
    s.addZone("US/Eastern");
    s.addZone("Asia/Tokyo");
    s.zones.push_back({"Japan", "Home"});
    EXPECT_EQ(rulerIds(s), (Ids{"America/New_York", "Europe/Paris", "Asia/Tokyo", "Japan"}));
    // The primary zone's ruler cannot be removed under any name; others go with their aliases.
    s.removeZone("US/Eastern", ny);
    s.removeZone("Asia/Tokyo", ny);
    EXPECT_EQ(rulerIds(s), (Ids{"America/New_York", "Europe/Paris"}));
    // A primary zone that names no zone behaves as absent; the missing ruler is put first.
    Settings t = withRulers({"Asia/Tokyo"});
    t.primaryZoneID = "Mars/Base";
    t.ensurePrimaryRuler(ny);
    t.ensurePrimaryRuler(ny);
    EXPECT_EQ(rulerIds(t), (Ids{"America/New_York", "Asia/Tokyo"}));
    // Moving clamps indexes beyond either end, extreme ones from a file too; an alias finds it.
    s = withRulers({"Europe/Paris", "Asia/Tokyo", "America/New_York"});
    s.moveZone("US/Eastern", LLONG_MIN);
    s.moveZone("Europe/Paris", LLONG_MAX);
    EXPECT_EQ(rulerIds(s), (Ids{"America/New_York", "Asia/Tokyo", "Europe/Paris"}));
    // A leading space and a trailing tab go; only spaces clear the label.
    s.renameZone("Japan", " HQ\t");
    EXPECT_EQ(s.zones[1].label, "HQ");
    s.renameZone("Asia/Tokyo", "   ");
    EXPECT_EQ(s.zones[1].label, std::nullopt);
    // A ruler of an unknown zone shows its label, else its identifier.
    EXPECT_EQ((ZoneEntry{"Mars/Base", "Mars"}.displayName()), "Mars");
    EXPECT_EQ((ZoneEntry{"Mars/Base", std::nullopt}.displayName()), "Mars/Base");
    const std::vector<CalendarInfo> calendars{calendar("work"), calendar("birthdays", true),
                                              calendar("holidays", true)};
    s = Settings{};
    // By default birthdays and subscriptions are left out.
    EXPECT_EQ(s.includedCalendars(calendars), (std::set<std::string>{"work"}));
    // Including one birthday calendar keeps the default for the other.
    s.setCalendar("birthdays", true, calendars);
    EXPECT_EQ(s.includedCalendars(calendars), (std::set<std::string>{"birthdays", "work"}));
    EXPECT_EQ(s.excludedCalendars, (std::set<std::string>{"holidays"}));
    // From then on the set decides, also for calendars that appear later.
    s.setCalendar("work", false, calendars);
    const std::vector<CalendarInfo> later{calendar("work"), calendar("new", true)};
    EXPECT_EQ(s.includedCalendars(later), (std::set<std::string>{"new"}));
}

TEST(Settings, RenderZonesAndTheStoredForm)
{
    const TimeZone ny = zone("America/New_York");
    const auto names = [&](const Settings& settings) {
        Ids labels;
        for (const RenderZone& z : settings.renderZones(ny))
            labels.push_back(z.zone.id() + "=" + z.label);
        return labels;
    };
    Settings s = withRulers({"America/New_York", "Asia/Tokyo"});
    s.primaryZoneID = "Asia/Tokyo";
    EXPECT_EQ(names(s), (Ids{"America/New_York=Eastern Time", "Asia/Tokyo=Tokyo"}));
    s.zones.pop_back();
    EXPECT_EQ(names(s), (Ids{"Asia/Tokyo=Tokyo", "America/New_York=Eastern Time"}));
    // Unknown zones and second rulers of a zone are left out; labels are kept.
    Settings t = withRulers({"Mars/Base", "Europe/Paris", "America/New_York"});
    t.zones[1].label = "HQ";
    t.zones.push_back({"US/Eastern", "Again"});
    EXPECT_EQ(names(t), (Ids{"Europe/Paris=HQ", "America/New_York=Eastern Time"}));
    // The stored form leaves out what is absent.
    s = Settings::initial(zone("Europe/Paris"));
    s.zones.push_back({"Asia/Tokyo", "Home"});
    EXPECT_GOLDEN("store/settings.json", s.toJson());
}

TEST(Settings, DecodingDefaultsWrongTypesHostileNumbersAndTheEarlierForm)
{
    // "{}": every default, and no rulers at all.
    EXPECT_EQ(Settings::fromJson("{}").value, Settings{});
    // Null counts as absent, unknown members are ignored, 3.0 is an integer.
    const auto nulls = Settings::fromJson(
        R"({"zones":null,"window":null,"heading":null,"dayCount":3.0,"theme":"x"})");
    ASSERT_TRUE(nulls);
    EXPECT_EQ(nulls.value->dayCount, 3);
    // A wrong type anywhere fails the whole record.
    for (const char* bad :
         {R"({"window":"9-5"})", R"({"window":{"startMinutes":540}})", R"({"dayCount":"3"})",
          R"({"dayCount":1.5})", R"({"dayCount":1e300})", R"({"dayCount":9223372036854775808})",
          R"({"use24Hour":1})", R"({"zones":[{"label":"x"}]})",
          R"({"zones":[{"id":"x","isEnabled":0}]})", R"({"excludedCalendars":[1]})", "[]", ""})
        EXPECT_FALSE(Settings::fromJson(bad)) << bad;
    // Numbers at the ends of the 64-bit range are kept as they are, for the model to bound.
    const auto hostile = Settings::fromJson(
        R"({"dayCount":9223372036854775807,"minimumMinutes":-9223372036854775808})");
    ASSERT_TRUE(hostile);
    EXPECT_EQ(hostile.value->dayCount, LLONG_MAX);
    EXPECT_EQ(hostile.value->minimumMinutes, LLONG_MIN);
    // Duplicate rulers by alias go, the first kept with its label; unknown zones match by text.
    const auto decoded = Settings::fromJson(R"({"zones":[{"id":"Asia/Calcutta","label":"Office"},
        {"id":"Asia/Kolkata"},{"id":"X/Y"},{"id":"X/Y"},{"id":"X/Z"}]})");
    ASSERT_TRUE(decoded);
    EXPECT_EQ(rulerIds(*decoded.value), (Ids{"Asia/Calcutta", "X/Y", "X/Z"}));
    EXPECT_EQ(decoded.value->zones[0].label, "Office");
    const auto earlier = Settings::decode(
        R"({"zones":[{"id":"Asia/Tokyo","isEnabled":true},{"id":"Europe/Paris","isEnabled":false}]})");
    ASSERT_TRUE(earlier.settings);
    EXPECT_TRUE(earlier.isEarlierForm);
    const auto current = Settings::decode(R"({"zones":[{"id":"Asia/Tokyo"}]})");
    EXPECT_FALSE(current.isEarlierForm);
    // The same record either way: how it was stored is no part of its value.
    EXPECT_EQ(earlier.settings.value, current.settings.value);
    // A record that fails to decode is not one to migrate.
    EXPECT_FALSE(Settings::decode(R"({"zones":[{"id":"X/Y","isEnabled":true}],"dayCount":"3"})")
                     .isEarlierForm);
}

}  // namespace
}  // namespace nelvo
