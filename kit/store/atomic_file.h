#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace nelvo {

// The files the stores own are replaced whole, never rewritten in place, so a reader (or a
// crash) never meets half a file.
namespace AtomicFile {

// The whole content of a regular file. Empty with `error` set otherwise; a missing file
// gives std::errc::no_such_file_or_directory. Never blocks on a pipe or device.
std::optional<std::string> read(const std::filesystem::path& path, std::error_code& error);

// Writes `bytes` to a new file in the same folder, flushes it to the disk and renames it
// over `path`. On failure `path` is left as it was and the new file is removed. An
// existing file's permissions carry over. The folder must exist.
std::error_code write(const std::filesystem::path& path, std::string_view bytes);

// Renames `path` to "<path>.unreadable", replacing an older one, so that a file the
// system could not decode survives the save that replaces it.
std::error_code setAsideUnreadable(const std::filesystem::path& path);

}  // namespace AtomicFile

}  // namespace nelvo
