#include "kit/core/zone_rules.h"

#include "kit/core/icu_zone.h"

#include <unicode/putil.h>
#include <unicode/timezone.h>

#include <cstdlib>
#include <mutex>
#include <optional>

namespace nelvo {

namespace {

struct State {
    std::mutex mutex;
    bool isSettled = false;             // the first zone was made
    std::optional<std::string> chosen;  // by useFolder
    std::optional<std::string> inUse;   // the folder handed to ICU
};

State& state()
{
    static State instance;
    return instance;
}

bool holdsRules(const std::filesystem::path& folder)
{
    std::error_code error;
    return std::filesystem::is_regular_file(folder / ZoneRules::fileName, error);
}

}  // namespace

bool ZoneRules::useFolder(const std::filesystem::path& folder)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (s.isSettled || !holdsRules(folder))
        return false;
    s.chosen = folder.string();
    return true;
}

void ensureZoneRules()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (s.isSettled)
        return;
    s.isSettled = true;
    // ICU reads ICU_TIMEZONE_FILES_DIR itself; a folder named there wins.
    if (const char* named = std::getenv("ICU_TIMEZONE_FILES_DIR"); named && *named) {
        if (holdsRules(named))
            s.inUse = named;
        return;
    }
    std::optional<std::string> folder = s.chosen;
#ifdef NELVO_TZ_FILES_DIR
    if (!folder && holdsRules(NELVO_TZ_FILES_DIR))
        folder = NELVO_TZ_FILES_DIR;
#endif
    if (!folder)
        return;
    UErrorCode status = U_ZERO_ERROR;
    u_setTimeZoneFilesDirectory(folder->c_str(), &status);
    if (U_SUCCESS(status))
        s.inUse = folder;
}

std::string ZoneRules::description()
{
    ensureZoneRules();
    UErrorCode status = U_ZERO_ERROR;
    const char* version = icu::TimeZone::getTZDataVersion(status);
    const std::string tzdata =
        std::string("tzdata ") + (U_SUCCESS(status) && version ? version : "of unknown version");
    const State& s = state();
    if (!s.inUse)
        return "ICU's built-in " + tzdata;
    return tzdata + " (" + *s.inUse + ")";
}

}  // namespace nelvo
