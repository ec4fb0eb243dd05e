#pragma once

#include "kit/core/decoded.h"
#include "kit/model/adjustments.h"
#include "kit/store/atomic_file.h"
#include "kit/store/xdg_folders.h"

#include <filesystem>
#include <system_error>

namespace nelvo {

// Keeps the adjustments in one JSON file (see Adjustments::toJson for its form).
class AdjustmentsStore {
public:
    explicit AdjustmentsStore(std::filesystem::path fileURL,
                              AtomicFile::Report report = &AtomicFile::reportToStandardError);
    // A store that reads the file but never writes it: save() changes nothing on disk and
    // says so (std::errc::read_only_file_system). For commands that must not touch the
    // user's files.
    static AdjustmentsStore readOnly(std::filesystem::path fileURL);

    // <data home>/nelvo/Availability/adjustments.json
    static std::filesystem::path defaultURL(const XdgFolders& folders);
    // The same, with the folders of this process's environment.
    static std::filesystem::path defaultURL();

    const std::filesystem::path& fileURL() const { return m_fileURL; }

    // The decoded file; Adjustments::empty() when it is missing; the reason when it cannot
    // be read or decoded (or is larger than AtomicFile::maxStoredBytes).
    Decoded<Adjustments> read() const;
    // read(), with Adjustments::empty() for a file that cannot be read or decoded.
    Adjustments load() const;
    // Creates the folder as needed and replaces the file atomically. A file that is there
    // but cannot be decoded is first kept aside (AtomicFile::setAsideUnreadable), and the
    // report says where. On failure the previous file stays whole and the error is returned.
    std::error_code save(const Adjustments& adjustments) const;

private:
    std::filesystem::path m_fileURL;
    AtomicFile::Report m_report;
    bool m_isReadOnly = false;
};

}  // namespace nelvo
