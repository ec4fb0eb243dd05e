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
    if (settings.primaryZoneID && Settings::zonesMatch(*settings.primaryZoneID, currentZone.id()))
        settings.primaryZoneID.reset();
    save(settings);
    return settings;
}

bool SettingsStore::save(const Settings& settings)
{
    return m_defaults->setData(m_key, settings.toJson());
}

}  // namespace nelvo
