#include "kit/store/settings_store.h"

#include "kit/store/in_memory_user_defaults.h"
#include "support/time_helpers.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::zone;

TEST(SettingsStore, LoadGivesWhatWasSavedElseTheInitialSettingsAndMigrates)
{
    const TimeZone tokyo = zone("Asia/Tokyo");
    auto defaults = std::make_shared<InMemoryUserDefaults>();
    SettingsStore store(defaults);
    // Nothing stored: one ruler for the current zone and the defaults.
    EXPECT_EQ(store.load(tokyo), Settings::initial(tokyo));
    // Saved settings load equal, whatever the current zone, from their stored form.
    Settings s = Settings::initial(zone("Europe/Paris"));
    s.addZone("Asia/Tokyo");
    s.renameZone("Asia/Tokyo", "Home");
    s.primaryZoneID = "Asia/Tokyo";
    s.excludedCalendars = std::set<std::string>{"holidays"};
    s.use24Hour = !s.use24Hour;
    s.window = {480, 60};
    s.heading = "Verfügbarkeit \"diese Woche\"";
    s.dayCount = 14;
    ASSERT_TRUE(store.save(s));
    EXPECT_EQ(store.load(zone("America/New_York")), s);
    EXPECT_EQ(defaults->data("settings.v1"), s.toJson());
    // Another kind of value, or bytes that do not decode: initial, and the bytes stay unwritten.
    defaults->setBool("settings.v1", true);
    EXPECT_EQ(store.load(tokyo), Settings::initial(tokyo));
    defaults->setData("settings.v1", R"({"window":"9-5"})");
    const int writes = defaults->writeCount();
    EXPECT_EQ(store.load(tokyo, [](const TimeZone&) { return Settings{}; }), Settings{});
    EXPECT_EQ(defaults->writeCount(), writes);
    // An earlier form is migrated and saved at once.
    const TimeZone paris = zone("Europe/Paris");
    auto earlier = std::make_shared<InMemoryUserDefaults>();
    earlier->setData("settings.v1", R"({"zones":[{"id":"Europe/Paris","isEnabled":true},
        {"id":"Asia/Tokyo","isEnabled":false},{"id":"Europe/Paris","label":"HQ","isEnabled":true}],
        "primaryZoneID":"Europe/Paris"})");
    SettingsStore migrating(earlier);
    const Settings loaded = migrating.load(paris);
    EXPECT_EQ(loaded.zones, (std::vector<ZoneEntry>{{"Europe/Paris", std::nullopt}}));
    // The primary zone equal to the current one is cleared: it follows the system again.
    EXPECT_EQ(loaded.primaryZoneID, std::nullopt);
    // The stored bytes were rewritten without the earlier form.
    EXPECT_EQ(earlier->data("settings.v1"), loaded.toJson());
    // Another primary zone is kept.
    earlier->setData(
        "settings.v1",
        R"({"zones":[{"id":"Asia/Tokyo","isEnabled":true}],"primaryZoneID":"Asia/Tokyo"})");
    EXPECT_EQ(migrating.load(paris).primaryZoneID, "Asia/Tokyo");
    // A duplicate ruler without the earlier form is dropped on loading but not rewritten.
    const std::string record = R"({"zones":[{"id":"Asia/Tokyo"},{"id":"Japan","label":"x"}]})";
    earlier->setData("settings.v1", record);
    EXPECT_EQ(migrating.load(paris).zones, (std::vector<ZoneEntry>{{"Asia/Tokyo", std::nullopt}}));
    EXPECT_EQ(earlier->data("settings.v1"), record);
}

}  // namespace
}  // namespace nelvo
