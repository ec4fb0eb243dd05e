#pragma once

#include "kit/core/date.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace nelvo {

// When this program last read each remote desktop calendar up to date, by the calendar's
// identifier, so that a later read from a saved copy can say how old it is: EDS does not
// say when a calendar last synchronized. One line per calendar, "<identifier>\t<unix
// seconds>", in a file of its own under the user's cache folder; a file that cannot be read
// is taken as empty, since it only dates copies.
class EdsSyncRecord {
public:
    explicit EdsSyncRecord(std::filesystem::path path);
    // $XDG_CACHE_HOME/nelvo/desktop-calendar-syncs.
    static std::filesystem::path standardPath();

    std::optional<Date> lastSync(const std::string& calendarID);
    // Stores the times given, keeping the others; errors are ignored (only dates are lost).
    void remember(const std::map<std::string, Date>& syncs);

private:
    std::filesystem::path m_path;
    std::map<std::string, Date> read() const;
};

}  // namespace nelvo
