#pragma once

#include "support/golden.h"
#include "support/temp_folder.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace nelvo::test {

inline void writeText(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

using Names = std::vector<std::string>;

inline mode_t permissions(const std::filesystem::path& path)
{
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 0777;
}

// The names in a folder, sorted.
inline std::vector<std::string> folderNames(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Runs `body` in a forked child in which every write past `bytes` bytes of a file fails with
// EFBIG, as on a full disk; the limit stays in the child. Whether `body` returned true there.
inline bool withFileSizeLimit(rlim_t bytes, const std::function<bool()>& body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, bytes};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

}  // namespace nelvo::test
