#pragma once

#include "kit/core/date.h"

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace nelvo {

// The copy of a calendar address's calendar kept on this computer, used while its server
// cannot be reached, and the validators that let the next fetch cost no download when the
// calendar has not changed. Two files per address in the copies' folder, named by a hash of
// the address (CalendarAddress::copyName): "<hash>.ics", the calendar as fetched, and
// "<hash>.meta", a few lines of "key value". Both are only the user's to read.
struct WebCalendarCopy {
    std::string text;          // the calendar as last fetched
    std::string name;          // its X-WR-CALNAME, for lists that do not read the calendar
    std::string etag;          // the server's ETag, sent back as If-None-Match
    std::string lastModified;  // the server's Last-Modified, sent back as If-Modified-Since
    Date fetchedAt;            // when the server last confirmed it (200 or 304)

    // $XDG_CACHE_HOME/nelvo.
    static std::filesystem::path standardFolder();

    // The copy of `address` in `folder`; nothing when there is none or it cannot be read.
    static std::optional<WebCalendarCopy> load(const std::filesystem::path& folder,
                                               const std::string& address);
    // Writes both files (the folder is made, only the user's to open).
    std::error_code save(const std::filesystem::path& folder, const std::string& address) const;
    // Writes only the meta file: the server confirmed the copy unchanged.
    std::error_code saveMeta(const std::filesystem::path& folder, const std::string& address) const;
    // Removes both files.
    static void remove(const std::filesystem::path& folder, const std::string& address);
};

}  // namespace nelvo
