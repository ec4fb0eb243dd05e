#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace nelvo {

// The files the stores own are replaced whole, never rewritten in place, so a reader (or a
// crash) never meets half a file.
namespace AtomicFile {

// Far more than any file the stores write; a larger one is not theirs, and reading it whole
// would cost the memory of a program many times this size.
constexpr std::uintmax_t maxStoredBytes = 16 * 1024 * 1024;

// How many unreadable files are kept beside one store file before the oldest goes.
constexpr int maxKeptUnreadable = 100;

// Where a store says what it did with a file it could not read: one line, no line feed.
using Report = std::function<void(const std::string& line)>;
// Writes the line to standard error: the default of every store.
void reportToStandardError(const std::string& line);

// The whole content of a regular file of at most `maxBytes`. Empty with `error` set
// otherwise; a missing file gives std::errc::no_such_file_or_directory, a larger one
// std::errc::file_too_large. Never blocks on a pipe or device.
std::optional<std::string> read(const std::filesystem::path& path, std::error_code& error,
                                std::uintmax_t maxBytes = maxStoredBytes);

// Writes `bytes` to a new file in the same folder, flushes it to the disk and renames it
// over `path`. On failure `path` is left as it was and the new file is removed. An
// existing file's permissions carry over. The folder must exist.
std::error_code write(const std::filesystem::path& path, std::string_view bytes);
// As write(), but only the owner may read or write the new file (mode 0600), whatever the old
// one allowed: for files that hold secrets (a private calendar address, a calendar's events).
std::error_code writePrivate(const std::filesystem::path& path, std::string_view bytes);

// Renames `path` to the first free name of "<path>.unreadable", "<path>.unreadable.1", ...,
// so that a file the system could not decode survives the save that replaces it. A kept
// file is never replaced: only when all maxKeptUnreadable names are taken does the oldest
// (the lowest number) go, the others moving down one. The name it was kept under, or empty
// with `error` set.
std::optional<std::filesystem::path> setAsideUnreadable(const std::filesystem::path& path,
                                                        std::error_code& error);

// Why a file operation failed, in the words of a message: "no space left on device",
// "read-only file system", "a loop of symbolic links", "not a regular file".
std::string reason(std::error_code error);

// Why a store file could not be used: reason() of a read error ("larger than 16 MB" for
// a file past maxStoredBytes), else `decodeError`, the decoder's own words.
std::string unreadableReason(std::error_code readError, const std::string& decodeError);

// The line a store reports after keeping an unreadable file aside.
std::string keptAsideLine(const std::filesystem::path& path, const std::string& reason,
                          const std::filesystem::path& keptAs);

}  // namespace AtomicFile

}  // namespace nelvo
