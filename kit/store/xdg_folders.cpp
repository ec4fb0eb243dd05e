#include "kit/store/xdg_folders.h"

#include <cstdlib>
#include <pwd.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace nelvo {

namespace {

std::optional<std::filesystem::path> absolute(std::optional<std::string_view> value)
{
    if (!value || value->empty() || value->front() != '/')
        return std::nullopt;
    return std::filesystem::path(*value);
}

std::optional<std::string_view> variable(const char* name)
{
    const char* value = std::getenv(name);
    if (!value)
        return std::nullopt;
    return std::string_view(value);
}

}  // namespace

XdgFolders XdgFolders::from(std::optional<std::string_view> home,
                            std::optional<std::string_view> configHome,
                            std::optional<std::string_view> dataHome,
                            std::optional<std::string_view> cacheHome)
{
    const std::filesystem::path homeFolder =
        home && !home->empty() ? std::filesystem::path(*home) : std::filesystem::path(".");
    return XdgFolders{
        .configHome = absolute(configHome).value_or(homeFolder / ".config"),
        .dataHome = absolute(dataHome).value_or(homeFolder / ".local" / "share"),
        .cacheHome = absolute(cacheHome).value_or(homeFolder / ".cache"),
    };
}

XdgFolders XdgFolders::fromEnvironment()
{
    std::optional<std::string_view> home = variable("HOME");
    std::string fromDatabase;
    if (!home || home->empty()) {
        std::vector<char> buffer(16384);
        passwd entry{};
        passwd* found = nullptr;
        if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
            found->pw_dir) {
            fromDatabase = found->pw_dir;
            home = fromDatabase;
        }
    }
    return from(home, variable("XDG_CONFIG_HOME"), variable("XDG_DATA_HOME"),
                variable("XDG_CACHE_HOME"));
}

}  // namespace nelvo
