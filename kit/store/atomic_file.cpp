#include "kit/store/atomic_file.h"

#include "kit/model/uuid.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nelvo::AtomicFile {

namespace {

std::error_code lastError()
{
    return {errno, std::generic_category()};
}

// Closes on scope exit; close errors matter only where checked explicitly.
struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    int release()
    {
        const int result = fd;
        fd = -1;
        return result;
    }
};

int openRetrying(const char* path, int flags, mode_t mode = 0)
{
    int fd;
    do
        fd = ::open(path, flags, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

std::error_code writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return lastError();
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

}  // namespace

void reportToStandardError(const std::string& line)
{
    std::fprintf(stderr, "%s\n", line.c_str());
}

std::optional<std::string> read(const std::filesystem::path& path, std::error_code& error,
                                std::uintmax_t maxBytes)
{
    error.clear();
    Descriptor file{openRetrying(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    if (file.fd < 0) {
        error = lastError();
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(file.fd, &info) != 0) {
        error = lastError();
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        error = std::make_error_code(S_ISDIR(info.st_mode) ? std::errc::is_a_directory
                                                           : std::errc::invalid_argument);
        return std::nullopt;
    }
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        error = std::make_error_code(std::errc::file_too_large);
        return std::nullopt;
    }
    std::string content;
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(file.fd, buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            error = lastError();
            return std::nullopt;
        }
        if (count == 0)
            return content;
        // The file may grow while it is read.
        if (content.size() + static_cast<std::size_t>(count) > maxBytes) {
            error = std::make_error_code(std::errc::file_too_large);
            return std::nullopt;
        }
        content.append(buffer, static_cast<std::size_t>(count));
    }
}

namespace {

// `mode`: the new file's permissions; nothing keeps the old file's.
std::error_code replace(const std::filesystem::path& path, std::string_view bytes,
                        std::optional<mode_t> mode)
{
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    // Hidden, and unique per attempt so that concurrent writers never share one.
    const std::filesystem::path temporary =
        folder / ("." + path.filename().string() + "." + Uuid::random().string() + ".tmp");

    struct stat existing {};
    const bool hasExisting = ::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);

    Descriptor file{openRetrying(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666)};
    if (file.fd < 0)
        return lastError();
    const auto fail = [&](std::error_code error) {
        ::close(file.release());
        ::unlink(temporary.c_str());
        return error;
    };
    if (mode ? ::fchmod(file.fd, *mode) != 0
             : hasExisting && ::fchmod(file.fd, existing.st_mode & 0777) != 0)
        return fail(lastError());
    if (auto error = writeAll(file.fd, bytes))
        return fail(error);
    if (::fsync(file.fd) != 0)
        return fail(lastError());
    if (::close(file.release()) != 0) {
        const auto error = lastError();
        ::unlink(temporary.c_str());
        return error;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const auto error = lastError();
        ::unlink(temporary.c_str());
        return error;
    }
    // Makes the rename itself durable; the new file is in place whatever this returns.
    Descriptor dir{openRetrying(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (dir.fd >= 0)
        ::fsync(dir.fd);
    return {};
}

}  // namespace

std::error_code write(const std::filesystem::path& path, std::string_view bytes)
{
    return replace(path, bytes, std::nullopt);
}

std::error_code writePrivate(const std::filesystem::path& path, std::string_view bytes)
{
    return replace(path, bytes, 0600);
}

namespace {

std::filesystem::path keptName(const std::filesystem::path& path, int number)
{
    std::filesystem::path name = path;
    name += number == 0 ? ".unreadable" : ".unreadable." + std::to_string(number);
    return name;
}

// rename() that fails with EEXIST rather than replace `to`.
int renameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    // A file system without the flag: a hard link cannot replace either.
    if (::link(from.c_str(), to.c_str()) != 0)
        return -1;
    return ::unlink(from.c_str());
}

}  // namespace

std::optional<std::filesystem::path> setAsideUnreadable(const std::filesystem::path& path,
                                                        std::error_code& error)
{
    error.clear();
    for (int number = 0; number < maxKeptUnreadable; ++number) {
        const auto name = keptName(path, number);
        if (renameNoReplace(path, name) == 0)
            return name;
        if (errno != EEXIST) {
            error = lastError();
            return std::nullopt;
        }
    }
    // Every name is taken: the oldest goes and the rest move down one.
    if (::unlink(keptName(path, 0).c_str()) != 0 && errno != ENOENT) {
        error = lastError();
        return std::nullopt;
    }
    for (int number = 1; number < maxKeptUnreadable; ++number)
        ::rename(keptName(path, number).c_str(), keptName(path, number - 1).c_str());
    const auto last = keptName(path, maxKeptUnreadable - 1);
    if (renameNoReplace(path, last) != 0) {
        error = lastError();
        return std::nullopt;
    }
    return last;
}

namespace {

// The system's words for an error, untranslated: they end an English sentence, whatever the
// user's locale.
std::string systemWords(std::error_code error)
{
    const bool fromErrno =
        error.category() == std::generic_category() || error.category() == std::system_category();
    if (const char* text = fromErrno ? strerrordesc_np(error.value()) : nullptr)
        return text;
    return error.message();
}

}  // namespace

std::string reason(std::error_code error)
{
    if (error == std::errc::no_such_file_or_directory)
        return "no such file or folder";
    if (error == std::errc::too_many_symbolic_link_levels)
        return "a loop of symbolic links";
    if (error == std::errc::is_a_directory)
        return "a folder, not a file";
    if (error == std::errc::invalid_argument)
        return "not a regular file";
    if (error == std::errc::not_a_directory)
        return "a part of the path is not a folder";
    std::string text = systemWords(error);
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z' &&
        !(text.size() > 1 && text[1] >= 'A' && text[1] <= 'Z'))
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

std::string unreadableReason(std::error_code readError, const std::string& decodeError)
{
    if (readError == std::errc::file_too_large)
        return "larger than " + std::to_string(maxStoredBytes / (1024 * 1024)) + " MB";
    if (readError)
        return reason(readError);
    return decodeError.empty() ? "not in a form this version reads" : decodeError;
}

std::string keptAsideLine(const std::filesystem::path& path, const std::string& why,
                          const std::filesystem::path& keptAs)
{
    return "\"" + path.string() + "\" could not be read (" + why + "); it is kept as \"" +
           keptAs.string() + "\" and a new one is started";
}

}  // namespace nelvo::AtomicFile
