#include "kit/store/settings_store.h"

namespace nelvo {

SettingsStore::SettingsStore(std::shared_ptr<UserDefaults> defaults, std::string key)
    : m_defaults(std::move(defaults)), m_key(std::move(key))
{
}

Settings SettingsStore::load(const TimeZone& currentZone,
                             const std::function<Settings(const TimeZone&)>& initial)
{
    const auto bytes = m_defaults->data(m_key);
    if (!bytes)
        return initial(currentZone);
    auto decoded = Settings::fromJson(*bytes);
    if (!decoded)
        return initial(currentZone);
    Settings settings = std::move(*decoded.value);
    if (!settings.decodedFromV1)
        return settings;
    settings = migrated(std::move(settings), currentZone);
    // The record is read again under the lock: another process may have saved a newer one
    // since, which must not be replaced by this migration of the older.
    m_defaults->update(m_key, [&](const std::optional<UserDefaults::Value>& current) {
        const auto* stored = current ? std::get_if<UserDefaults::Data>(&*current) : nullptr;
        auto again = stored ? Settings::fromJson(stored->bytes) : Decoded<Settings>{};
        if (!again)
            return current;  // gone or broken since: leave it to the next save
        settings = std::move(*again.value);
        if (!settings.decodedFromV1)
            return current;
        settings = migrated(std::move(settings), currentZone);
        return std::optional<UserDefaults::Value>(UserDefaults::Data{settings.toJson()});
    });
    return settings;
}

Settings SettingsStore::migrated(Settings settings, const TimeZone& currentZone)
{
    if (settings.primaryZoneID && Settings::zonesMatch(*settings.primaryZoneID, currentZone.id()))
        settings.primaryZoneID.reset();
    settings.decodedFromV1 = false;
    return settings;
}

bool SettingsStore::save(const Settings& settings)
{
    std::string bytes = settings.toJson();
    return m_defaults->update(m_key, [&bytes](const std::optional<UserDefaults::Value>&) {
        return std::optional<UserDefaults::Value>(UserDefaults::Data{std::move(bytes)});
    });
}

}  // namespace nelvo
