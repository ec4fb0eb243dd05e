#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace nelvo {

// The per-user folders of the XDG base-directory rules, where settings and adjustments live.
struct XdgFolders {
    std::filesystem::path configHome;  // $XDG_CONFIG_HOME, else ~/.config
    std::filesystem::path dataHome;    // $XDG_DATA_HOME, else ~/.local/share
    std::filesystem::path cacheHome;   // $XDG_CACHE_HOME, else ~/.cache

    // From the variables' values. An unset, empty or relative XDG value is ignored, as the
    // rules say; without a home folder the fallbacks lie under the current folder.
    static XdgFolders from(std::optional<std::string_view> home,
                           std::optional<std::string_view> configHome,
                           std::optional<std::string_view> dataHome,
                           std::optional<std::string_view> cacheHome = std::nullopt);

    // The one place the kit reads the environment: HOME (else the user database),
    // XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_CACHE_HOME.
    static XdgFolders fromEnvironment();

    bool operator==(const XdgFolders&) const = default;
};

}  // namespace nelvo
