#include "kit/store/settings.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

#include <climits>

namespace nelvo {
namespace {

using test::zone;

std::vector<std::string> rulerIds(const Settings& settings)
{
    std::vector<std::string> ids;
    for (const ZoneEntry& entry : settings.zones)
        ids.push_back(entry.id);
    return ids;
}

using Ids = std::vector<std::string>;

CalendarInfo calendar(const char* id, bool isBirthdayOrSubscription = false)
{
    CalendarInfo info;
    info.id = id;
    info.isBirthdayOrSubscription = isBirthdayOrSubscription;
    return info;
}

Settings withRulers(std::initializer_list<const char*> ids)
{
    Settings settings;
    for (const char* id : ids)
        settings.zones.push_back(ZoneEntry{id, std::nullopt, std::nullopt});
    return settings;
}

TEST(Settings, InitialValues)
{
    const Settings s = Settings::initial(zone("Europe/Berlin"));
    EXPECT_EQ(s.zones, (std::vector<ZoneEntry>{{"Europe/Berlin", std::nullopt, std::nullopt}}));
    EXPECT_EQ(s.window, (DailyWindow{540, 1020}));
    EXPECT_EQ(s.minimumMinutes, 30);
    EXPECT_EQ(s.leadTimeMinutes, 60);
    EXPECT_EQ(s.heading, "Availability");
    EXPECT_EQ(s.dayCount, 1);
    EXPECT_TRUE(s.soundsEnabled);
    EXPECT_FALSE(s.use24Hour);
    EXPECT_FALSE(s.excludedCalendars || s.primaryZoneID || s.decodedFromV1);
}

TEST(Settings, ZonesMatchByTextOrResolvedZone)
{
    EXPECT_TRUE(Settings::zonesMatch("US/Pacific", "America/Los_Angeles"));
    EXPECT_TRUE(Settings::zonesMatch("Asia/Calcutta", "Asia/Kolkata"));
    EXPECT_FALSE(Settings::zonesMatch("Europe/Paris", "Europe/Berlin"));
    // An identifier naming no zone matches only its own text.
    EXPECT_TRUE(Settings::zonesMatch("Mars/Base", "Mars/Base"));
    EXPECT_FALSE(Settings::zonesMatch("Mars/Base", "Mars/Other"));
}

TEST(Settings, AddingRemovingAndEnsuringRulers)
{
    const TimeZone ny = zone("America/New_York");
    Settings s = withRulers({"America/New_York", "Europe/Paris"});
    // Adding a zone already there, even under an alias, changes nothing.
    s.addZone("Europe/Paris");
    s.addZone("US/Eastern");
    s.addZone("Asia/Tokyo");
    EXPECT_EQ(rulerIds(s), (Ids{"America/New_York", "Europe/Paris", "Asia/Tokyo"}));
    // The primary zone's ruler cannot be removed, under any name.
    s.removeZone("America/New_York", ny);
    s.removeZone("US/Eastern", ny);
    EXPECT_EQ(rulerIds(s), (Ids{"America/New_York", "Europe/Paris", "Asia/Tokyo"}));
    // Every ruler matching another zone goes.
    s.zones.push_back({"Japan", "Home", std::nullopt});
    s.removeZone("Asia/Tokyo", ny);
    EXPECT_EQ(rulerIds(s), (Ids{"America/New_York", "Europe/Paris"}));
    // An explicit primary zone is protected instead of the system's.
    s.primaryZoneID = "Europe/Paris";
    s.removeZone("Europe/Paris", ny);
    s.removeZone("America/New_York", ny);
    EXPECT_EQ(rulerIds(s), (Ids{"Europe/Paris"}));
    // Without a ruler for the primary zone, one is put first.
    Settings empty;
    empty.ensurePrimaryRuler(ny);
    empty.ensurePrimaryRuler(ny);
    EXPECT_EQ(rulerIds(empty), (Ids{"America/New_York"}));
    // A primary zone that names no zone behaves as absent.
    Settings unknown = withRulers({"Asia/Tokyo"});
    unknown.primaryZoneID = "Mars/Base";
    EXPECT_EQ(unknown.primaryZone(ny), ny);
    unknown.ensurePrimaryRuler(ny);
    EXPECT_EQ(rulerIds(unknown), (Ids{"America/New_York", "Asia/Tokyo"}));
}

TEST(Settings, MovingClampsTheIndex)
{
    Settings s = withRulers({"Europe/Paris", "Asia/Tokyo", "America/New_York"});
    s.moveZone("Europe/Paris", 99);
    EXPECT_EQ(rulerIds(s), (Ids{"Asia/Tokyo", "America/New_York", "Europe/Paris"}));
    s.moveZone("Europe/Paris", -3);
    EXPECT_EQ(rulerIds(s), (Ids{"Europe/Paris", "Asia/Tokyo", "America/New_York"}));
    // Extreme indexes and an alias.
    s.moveZone("US/Eastern", LLONG_MIN);
    s.moveZone("Asia/Tokyo", LLONG_MAX);
    EXPECT_EQ(rulerIds(s), (Ids{"America/New_York", "Europe/Paris", "Asia/Tokyo"}));
    s.moveZone("Europe/Paris", 1);
    EXPECT_EQ(rulerIds(s), (Ids{"America/New_York", "Europe/Paris", "Asia/Tokyo"}));
    // An unknown identifier changes nothing.
    s.moveZone("Mars/Base", 0);
    EXPECT_EQ(rulerIds(s), (Ids{"America/New_York", "Europe/Paris", "Asia/Tokyo"}));
}

TEST(Settings, RenamingTrimsAndClearsLabels)
{
    Settings s = withRulers({"Europe/Paris", "Asia/Tokyo"});
    s.renameZone("Europe/Paris", " HQ\t");
    EXPECT_EQ(s.zones[0].label, "HQ");
    // Only spaces, or no label, clears it.
    s.renameZone("Europe/Paris", "   ");
    EXPECT_EQ(s.zones[0].label, std::nullopt);
    s.renameZone("Asia/Tokyo", "Home");
    s.renameZone("Japan", std::nullopt);
    EXPECT_EQ(s.zones[1].label, std::nullopt);
    // Inner spaces stay.
    s.renameZone("Asia/Tokyo", "Tokyo office");
    EXPECT_EQ(s.zones[1].displayName(), "Tokyo office");
}

TEST(Settings, DisplayNamesOfRulers)
{
    EXPECT_EQ((ZoneEntry{"America/Los_Angeles", std::nullopt, std::nullopt}.displayName()), "Pacific Time");
    EXPECT_EQ((ZoneEntry{"US/Pacific", "West", std::nullopt}.displayName()), "West");
    // A ruler whose zone is unknown shows its label, else its raw identifier.
    EXPECT_EQ((ZoneEntry{"Mars/Base", "Mars", std::nullopt}.displayName()), "Mars");
    EXPECT_EQ((ZoneEntry{"Mars/Base", std::nullopt, std::nullopt}.displayName()), "Mars/Base");
}

TEST(Settings, IncludedCalendarsAndTheFirstExplicitChoice)
{
    const std::vector<CalendarInfo> calendars{calendar("work"), calendar("home"), calendar("birthdays", true),
                                              calendar("holidays", true)};
    Settings s;
    // By default birthdays and subscriptions are left out.
    EXPECT_EQ(s.includedCalendars(calendars), (std::set<std::string>{"home", "work"}));
    // Including one birthday calendar keeps the default for the other.
    s.setCalendar("birthdays", true, calendars);
    EXPECT_EQ(s.includedCalendars(calendars), (std::set<std::string>{"birthdays", "home", "work"}));
    EXPECT_EQ(s.excludedCalendars, (std::set<std::string>{"holidays"}));
    // From then on the explicit set decides; excluded calendars that vanished are ignored.
    s.setCalendar("work", false, calendars);
    s.setCalendar("gone", false, calendars);
    EXPECT_EQ(s.includedCalendars(calendars), (std::set<std::string>{"birthdays", "home"}));
    const std::vector<CalendarInfo> later{calendar("home"), calendar("new", true)};
    EXPECT_EQ(s.includedCalendars(later), (std::set<std::string>{"home", "new"}));
}

TEST(Settings, RenderZonesPutThePrimaryZoneFirstOnlyWhenItHasNoRuler)
{
    const TimeZone ny = zone("America/New_York");
    Settings s = withRulers({"America/New_York", "Asia/Tokyo"});
    s.primaryZoneID = "Asia/Tokyo";
    const auto names = [&](const Settings& settings) {
        std::vector<std::string> labels;
        for (const RenderZone& z : settings.renderZones(ny))
            labels.push_back(z.zone.id() + "=" + z.label);
        return labels;
    };
    // The primary zone's ruler keeps its place.
    EXPECT_EQ(names(s), (Ids{"America/New_York=Eastern Time", "Asia/Tokyo=Tokyo"}));
    // Without a ruler of its own it comes first.
    s.zones.pop_back();
    EXPECT_EQ(names(s), (Ids{"Asia/Tokyo=Tokyo", "America/New_York=Eastern Time"}));
    // Unknown zones and second rulers of one zone are left out; labels are kept.
    Settings t = withRulers({"Mars/Base", "Europe/Paris", "America/New_York"});
    t.zones[1].label = "HQ";
    t.zones.push_back({"US/Eastern", "Again", std::nullopt});
    EXPECT_EQ(names(t), (Ids{"Europe/Paris=HQ", "America/New_York=Eastern Time"}));
    // No rulers at all: the system's zone alone.
    EXPECT_EQ(names(Settings{}), (Ids{"America/New_York=Eastern Time"}));
}

TEST(Settings, StoredFormIsCompactAndLeavesOutWhatIsAbsent)
{
    Settings s = Settings::initial(zone("Europe/Paris"));
    s.zones.push_back({"Asia/Tokyo", "Home", true});
    s.decodedFromV1 = true;
    // No labels or optionals when absent, no legacy flags, no decodedFromV1.
    EXPECT_EQ(s.toJson(),
              R"({"zones":[{"id":"Europe/Paris"},{"id":"Asia/Tokyo","label":"Home"}],"use24Hour":false,)"
              R"("window":{"startMinutes":540,"endMinutes":1020},"minimumMinutes":30,"leadTimeMinutes":60,)"
              R"("heading":"Availability","dayCount":1,"soundsEnabled":true})");
    s.excludedCalendars = std::set<std::string>{"b", "a"};
    s.primaryZoneID = "Asia/Tokyo";
    EXPECT_NE(s.toJson().find(R"({"excludedCalendars":["a","b"],"zones":)"), std::string::npos);
    EXPECT_NE(s.toJson().find(R"("primaryZoneID":"Asia/Tokyo","use24Hour")"), std::string::npos);
}

TEST(Settings, DecodingDefaultsNullsAndWrongTypes)
{
    // "{}": every member takes its default, with no rulers at all.
    const auto empty = Settings::fromJson("{}");
    ASSERT_TRUE(empty);
    EXPECT_EQ(*empty.value, Settings{});
    EXPECT_TRUE(empty.value->zones.empty());
    // Null counts as absent; unknown members are ignored; integral numbers may be written
    // as floating point.
    const auto nulls = Settings::fromJson(
        R"({"zones":null,"window":null,"heading":null,"primaryZoneID":null,"dayCount":3.0,"theme":"dark"})");
    ASSERT_TRUE(nulls);
    EXPECT_EQ(nulls.value->dayCount, 3);
    EXPECT_EQ(nulls.value->window, (DailyWindow{540, 1020}));
    // Any wrong type fails the whole record.
    for (const char* bad : {R"({"window":"9-5"})", R"({"window":{"startMinutes":540}})", R"({"dayCount":"3"})",
                            R"({"dayCount":1.5})", R"({"dayCount":1e300})", R"({"use24Hour":1})",
                            R"({"zones":[{"label":"x"}]})", R"({"zones":[{"id":5}]})", R"({"zones":{}})",
                            R"({"zones":[{"id":"Europe/Paris","isEnabled":"yes"}]})", R"({"excludedCalendars":[1]})",
                            R"({"heading":false})", "[]", "", "nonsense"})
        EXPECT_FALSE(Settings::fromJson(bad)) << bad;
    // Numbers at the ends of the 64-bit range are kept as they are, for the model to bound.
    const auto hostile = Settings::fromJson(
        R"({"dayCount":9223372036854775807,"minimumMinutes":-9223372036854775808,"window":{"startMinutes":-1,"endMinutes":99999}})");
    ASSERT_TRUE(hostile);
    EXPECT_EQ(hostile.value->dayCount, LLONG_MAX);
    EXPECT_EQ(hostile.value->minimumMinutes, LLONG_MIN);
    EXPECT_EQ(hostile.value->window, (DailyWindow{-1, 99999}));
    EXPECT_FALSE(Settings::fromJson(R"({"dayCount":9223372036854775808})"));
}

TEST(Settings, DecodingTheEarlierFormAndDuplicates)
{
    // Earlier form: switched-off rulers go, duplicates after the first go, flags are cleared.
    const auto v1 = Settings::fromJson(R"({"zones":[{"id":"Europe/Paris","isEnabled":true},
        {"id":"Asia/Tokyo","isEnabled":false},{"id":"Europe/Paris","label":"HQ","isEnabled":true},
        {"id":"Asia/Kolkata"}]})");
    ASSERT_TRUE(v1);
    EXPECT_TRUE(v1.value->decodedFromV1);
    EXPECT_EQ(v1.value->zones, (std::vector<ZoneEntry>{{"Europe/Paris", std::nullopt, std::nullopt},
                                                       {"Asia/Kolkata", std::nullopt, std::nullopt}}));
    // Without any "isEnabled", duplicates (aliases included) still go, and it is not the earlier form.
    const auto current = Settings::fromJson(
        R"({"zones":[{"id":"Asia/Calcutta","label":"Office"},{"id":"Asia/Kolkata"},{"id":"Mars/Base"},{"id":"Mars/Base"}]})");
    ASSERT_TRUE(current);
    EXPECT_FALSE(current.value->decodedFromV1);
    EXPECT_EQ(current.value->zones, (std::vector<ZoneEntry>{{"Asia/Calcutta", "Office", std::nullopt},
                                                            {"Mars/Base", std::nullopt, std::nullopt}}));
}

}  // namespace
}  // namespace nelvo
