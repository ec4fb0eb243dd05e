#include "kit/store/settings_store.h"

#include "kit/store/in_memory_user_defaults.h"
#include "support/time_helpers.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::zone;

TEST(SettingsStore, EmptyOrUnreadableDefaultsGiveTheInitialSettings)
{
    const TimeZone tokyo = zone("Asia/Tokyo");
    auto defaults = std::make_shared<InMemoryUserDefaults>();
    SettingsStore store(defaults);
    EXPECT_EQ(store.key(), "settings.v1");
    // Nothing stored.
    EXPECT_EQ(store.load(tokyo), Settings::initial(tokyo));
    // A record of the wrong type, or bytes that are not a record: initial, and the bytes stay.
    defaults->setBool("settings.v1", true);
    EXPECT_EQ(store.load(tokyo), Settings::initial(tokyo));
    defaults->setData("settings.v1", R"({"window":"9-5"})");
    const int writes = defaults->writeCount();
    EXPECT_EQ(store.load(tokyo), Settings::initial(tokyo));
    EXPECT_EQ(defaults->data("settings.v1"), R"({"window":"9-5"})");
    EXPECT_EQ(defaults->writeCount(), writes);
    // The caller's initial function is the one used.
    const auto custom = [](const TimeZone&) {
        Settings s;
        s.heading = "Free times";
        return s;
    };
    EXPECT_EQ(store.load(tokyo, custom).heading, "Free times");
}

TEST(SettingsStore, SavedSettingsLoadEqual)
{
    auto defaults = std::make_shared<InMemoryUserDefaults>();
    SettingsStore store(defaults, "custom.key");
    Settings s = Settings::initial(zone("Europe/Paris"));
    s.addZone("Asia/Tokyo");
    s.renameZone("Asia/Tokyo", "Home");
    s.primaryZoneID = "Asia/Tokyo";
    s.excludedCalendars = std::set<std::string>{"holidays"};
    s.use24Hour = true;
    s.window = {480, 60};
    s.minimumMinutes = 45;
    s.leadTimeMinutes = 1440;
    s.heading = "Verfügbarkeit \"diese Woche\"";
    s.dayCount = 14;
    s.soundsEnabled = false;
    ASSERT_TRUE(store.save(s));
    EXPECT_EQ(store.load(zone("America/New_York")), s);
    // The stored value is data holding the JSON text.
    EXPECT_EQ(defaults->data("custom.key"), s.toJson());
}

TEST(SettingsStore, EarlierFormIsMigratedAndSavedAtOnce)
{
    const TimeZone paris = zone("Europe/Paris");
    auto defaults = std::make_shared<InMemoryUserDefaults>();
    defaults->setData("settings.v1", R"({"zones":[{"id":"Europe/Paris","isEnabled":true},
        {"id":"Asia/Tokyo","isEnabled":false},{"id":"Europe/Paris","label":"HQ","isEnabled":true}],
        "primaryZoneID":"Europe/Paris","dayCount":5})");
    SettingsStore store(defaults);
    const Settings loaded = store.load(paris);
    EXPECT_EQ(loaded.zones, (std::vector<ZoneEntry>{{"Europe/Paris", std::nullopt, std::nullopt}}));
    // The primary zone equal to the current one is cleared: it follows the system again.
    EXPECT_EQ(loaded.primaryZoneID, std::nullopt);
    EXPECT_FALSE(loaded.decodedFromV1);
    EXPECT_EQ(loaded.dayCount, 5);
    // The stored bytes were rewritten without the earlier form.
    const auto stored = defaults->data("settings.v1");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->find("isEnabled"), std::string::npos);
    EXPECT_EQ(*stored, loaded.toJson());

    // A primary zone other than the current one is kept through the migration.
    defaults->setData("settings.v1", R"({"zones":[{"id":"Asia/Tokyo","isEnabled":true}],"primaryZoneID":"Asia/Tokyo"})");
    EXPECT_EQ(store.load(paris).primaryZoneID, "Asia/Tokyo");
}

TEST(SettingsStore, DuplicatesWithoutTheEarlierFormAreNotRewritten)
{
    auto defaults = std::make_shared<InMemoryUserDefaults>();
    const std::string record = R"({"zones":[{"id":"Asia/Tokyo"},{"id":"Asia/Tokyo","label":"x"}]})";
    defaults->setData("settings.v1", record);
    const int writes = defaults->writeCount();
    SettingsStore store(defaults);
    EXPECT_EQ(store.load(zone("Europe/Paris")).zones.size(), 1u);
    EXPECT_EQ(defaults->data("settings.v1"), record);
    EXPECT_EQ(defaults->writeCount(), writes);
}

}  // namespace
}  // namespace nelvo
