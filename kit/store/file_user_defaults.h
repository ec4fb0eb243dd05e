#pragma once

#include "kit/core/decoded.h"
#include "kit/store/atomic_file.h"
#include "kit/store/user_defaults.h"
#include "kit/store/xdg_folders.h"

#include <filesystem>
#include <map>

namespace nelvo {

// User defaults kept in one JSON file per domain, pretty-printed with sorted keys:
//
//   {
//     "canvas.pointsPerHour": 60.0,
//     "calendars.addresses": ["ana@example.com"],
//     "onboarding.completed": true,
//     "settings.v1": {"base64": "eyJ6b25lcyI6W119"}
//   }
//
// Booleans, numbers and lists of strings as themselves; data as its base64 text in a
// one-member object. Every change reads, modifies and replaces the file under an exclusive
// lock on "<file>.lock", so that processes changing one value, or different ones, lose
// nothing; reads see the file as last replaced, without a cache. Values of other shapes are
// kept as they are. A file that cannot be decoded (or is larger than
// AtomicFile::maxStoredBytes) reads as empty and is kept aside by the next change (see
// AtomicFile::setAsideUnreadable), which reports where and starts a new file.
class FileUserDefaults final : public UserDefaults {
public:
    using Values = std::map<std::string, Value, std::less<>>;

    explicit FileUserDefaults(std::filesystem::path path,
                              AtomicFile::Report report = &AtomicFile::reportToStandardError);

    // <config home>/nelvo/defaults.json
    static std::filesystem::path standardPath(const XdgFolders& folders);
    // <config home>/nelvo/defaults.demo.json: demo mode's own domain.
    static std::filesystem::path demoPath(const XdgFolders& folders);

    const std::filesystem::path& path() const { return m_path; }

    // Every value in one reading of the file: none when there is no file; the reason when
    // it cannot be read or decoded. For a command that reads several values once.
    Decoded<Values> read() const;

    std::optional<Value> value(std::string_view key) const override;
    // False when the folder, the lock or the file cannot be written, or an unreadable file
    // cannot be kept aside; the file is then as before. A number that is not finite is
    // stored as null and reads back as nothing.
    bool update(std::string_view key, const Change& change) override;
    // Why the last update() failed: "no space left on device" is AtomicFile::reason() of it.
    std::error_code lastError() const { return m_lastError; }

    // The values of a defaults file's text; empty when it is not a JSON object (or is nested
    // absurdly deep). Members of other shapes are left out.
    static std::optional<Values> decode(std::string_view text);

private:
    std::filesystem::path m_path;
    AtomicFile::Report m_report;
    std::error_code m_lastError;
};

}  // namespace nelvo
