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
    auto decoded = Settings::decode(*bytes);
    if (!decoded.settings)
        return initial(currentZone);
    Settings settings = std::move(*decoded.settings.value);
    if (!decoded.isEarlierForm)
        return settings;
    settings = migrated(std::move(settings), currentZone);
    // The record is read again under the lock: another process may have saved a newer one
    // since, which must not be replaced by this migration of the older.
    m_defaults->update(m_key, [&](const std::optional<UserDefaults::Value>& current) {
        const auto* stored = current ? std::get_if<UserDefaults::Data>(&*current) : nullptr;
        if (!stored)
            return current;  // gone since: leave it to the next save
        auto again = Settings::decode(stored->bytes);
        if (!again.settings)
            return current;  // broken since: leave it to the next save
        settings = std::move(*again.settings.value);
        if (!again.isEarlierForm)
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
