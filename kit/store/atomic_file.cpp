#include "kit/store/atomic_file.h"

#include "kit/model/uuid.h"

#include <cerrno>
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

std::optional<std::string> read(const std::filesystem::path& path, std::error_code& error)
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
        content.append(buffer, static_cast<std::size_t>(count));
    }
}

std::error_code write(const std::filesystem::path& path, std::string_view bytes)
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
    if (hasExisting && ::fchmod(file.fd, existing.st_mode & 0777) != 0)
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

std::error_code setAsideUnreadable(const std::filesystem::path& path)
{
    std::filesystem::path aside = path;
    aside += ".unreadable";
    if (::rename(path.c_str(), aside.c_str()) != 0)
        return lastError();
    return {};
}

}  // namespace nelvo::AtomicFile
