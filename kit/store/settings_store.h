#pragma once

#include "kit/core/time_zone.h"
#include "kit/model/settings.h"
#include "kit/store/user_defaults.h"

#include <functional>
#include <memory>
#include <string>

namespace nelvo {

// Keeps one Settings record as JSON data under one user-defaults key.
class SettingsStore {
public:
    static constexpr const char* defaultKey = "settings.v1";

    explicit SettingsStore(std::shared_ptr<UserDefaults> defaults, std::string key = defaultKey);

    const std::string& key() const { return m_key; }

    // The stored record, or `initial(currentZone)` when there is none or it cannot be
    // decoded (the stored bytes then stay until the next save). A record of the earlier form
    // is migrated and saved back at once; its primary zone is cleared when it is
    // `currentZone`, so that it follows the system again.
    Settings load(const TimeZone& currentZone,
                  const std::function<Settings(const TimeZone&)>& initial = &Settings::initial);
    // False when the defaults could not store it; the earlier record then stays. The write
    // is one update of the defaults, so a process saving at the same time loses no other
    // value.
    bool save(const Settings& settings);

private:
    static Settings migrated(Settings settings, const TimeZone& currentZone);

    std::shared_ptr<UserDefaults> m_defaults;
    std::string m_key;
};

}  // namespace nelvo
