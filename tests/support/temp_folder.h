#pragma once

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace nelvo::test {

// A new, empty folder under the system's temporary folder. mkdtemp makes it, so no two
// tests, threads or test processes ever share one. It goes with everything in it when the
// object does, entries a test made unreadable or read-only included.
class TempFolder {
public:
    explicit TempFolder(std::string_view prefix = "nelvo")
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
        if (!::mkdtemp(pattern.data()))
            throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
        m_path = pattern;
    }
    ~TempFolder()
    {
        namespace fs = std::filesystem;
        std::error_code error;
        // Permissions first, each folder before its content is listed.
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, error);
        for (auto it = fs::recursive_directory_iterator(m_path, error);
             !error && it != fs::recursive_directory_iterator(); it.increment(error))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
        fs::remove_all(m_path, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(std::string_view name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

}  // namespace nelvo::test
