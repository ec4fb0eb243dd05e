#include "app/calendar_location.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace nelvo::CalendarLocation {

std::string expanded(const std::string& location)
{
    if (location == "~" || location.rfind("~/", 0) == 0) {
        if (const char* home = std::getenv("HOME"); home && *home)
            return std::string(home) + location.substr(1);
    }
    return location;
}

std::string trimmed(const std::string& location)
{
    std::string path = expanded(location);
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::optional<std::string> whyUnreadable(const std::string& location)
{
    const std::string path = trimmed(location);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return reason(errno);
    const bool isFolder = S_ISDIR(st.st_mode);
    if (!isFolder && !S_ISREG(st.st_mode))
        return "not a file or folder";
    if (::access(path.c_str(), R_OK | (isFolder ? X_OK : 0)) != 0)
        return reason(errno);
    return std::nullopt;
}

std::optional<SourceProblem> problem(const std::string& location)
{
    if (auto why = whyUnreadable(location))
        return unreadable(trimmed(location), *why);
    return std::nullopt;
}

SourceProblem unreadable(const std::string& path, const std::string& why)
{
    return {.kind = SourceProblem::Kind::unreadableCalendar,
            .path = path,
            .message = "cannot read calendar \"" + path + "\": " + why};
}

std::string reason(int error)
{
    if (error == ENOENT)
        return "no such file or folder";
    const char* text = strerrordesc_np(error);
    std::string out = text ? text : "error " + std::to_string(error);
    if (!out.empty())
        out[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(out[0])));
    return out;
}

}  // namespace nelvo::CalendarLocation
