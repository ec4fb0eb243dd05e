#include "app/web/web_calendar_copy.h"

#include "app/web/calendar_address.h"
#include "kit/store/atomic_file.h"
#include "kit/store/xdg_folders.h"

#include <charconv>
#include <cmath>
#include <sstream>

#include <sys/stat.h>

namespace nelvo {

namespace {

namespace fs = std::filesystem;

constexpr const char* metaHeading = "nelvo-copy 1";
// A copy is never larger than a fetch may be.
constexpr std::uintmax_t maxCopyBytes = 21 * 1024 * 1024;

fs::path filePath(const fs::path& folder, const std::string& address, const char* extension)
{
    return folder / (CalendarAddress::copyName(address) + extension);
}

// One line per value: a line break in a header would start a key of its own.
std::string oneLine(std::string value)
{
    for (char& c : value)
        if (c == '\n' || c == '\r')
            c = ' ';
    return value;
}

std::error_code makeFolder(const fs::path& folder)
{
    std::error_code error;
    fs::create_directories(folder, error);
    if (!error)
        ::chmod(folder.c_str(), 0700);
    return error;
}

}  // namespace

fs::path WebCalendarCopy::standardFolder()
{
    return XdgFolders::fromEnvironment().cacheHome / "nelvo";
}

std::optional<WebCalendarCopy> WebCalendarCopy::load(const fs::path& folder,
                                                     const std::string& address)
{
    std::error_code error;
    const auto meta = AtomicFile::read(filePath(folder, address, ".meta"), error);
    if (!meta)
        return std::nullopt;
    std::istringstream lines(*meta);
    std::string line;
    if (!std::getline(lines, line) || line != metaHeading)
        return std::nullopt;
    WebCalendarCopy copy;
    bool isDated = false;
    while (std::getline(lines, line)) {
        const auto space = line.find(' ');
        const std::string key = line.substr(0, space);
        const std::string value = space == std::string::npos ? "" : line.substr(space + 1);
        if (key == "fetched") {
            long long seconds = 0;
            const auto parsed = std::from_chars(value.data(), value.data() + value.size(), seconds);
            isDated = parsed.ec == std::errc() && parsed.ptr == value.data() + value.size();
            copy.fetchedAt = Date{static_cast<double>(seconds)};
        } else if (key == "etag") {
            copy.etag = value;
        } else if (key == "modified") {
            copy.lastModified = value;
        } else if (key == "name") {
            copy.name = value;
        }
    }
    auto text = AtomicFile::read(filePath(folder, address, ".ics"), error, maxCopyBytes);
    if (!isDated || !text)
        return std::nullopt;
    copy.text = std::move(*text);
    return copy;
}

std::error_code WebCalendarCopy::save(const fs::path& folder, const std::string& address) const
{
    if (auto error = makeFolder(folder))
        return error;
    if (auto error = AtomicFile::writePrivate(filePath(folder, address, ".ics"), text))
        return error;
    return saveMeta(folder, address);
}

std::error_code WebCalendarCopy::saveMeta(const fs::path& folder, const std::string& address) const
{
    if (auto error = makeFolder(folder))
        return error;
    std::ostringstream meta;
    // Whole seconds: a locale's decimal mark never reaches the file.
    meta << metaHeading << "\nfetched " << std::to_string(std::llround(fetchedAt.seconds))
         << "\netag " << oneLine(etag) << "\nmodified " << oneLine(lastModified) << "\nname "
         << oneLine(name) << "\n";
    return AtomicFile::writePrivate(filePath(folder, address, ".meta"), meta.str());
}

void WebCalendarCopy::remove(const fs::path& folder, const std::string& address)
{
    std::error_code error;
    fs::remove(filePath(folder, address, ".meta"), error);
    fs::remove(filePath(folder, address, ".ics"), error);
}

}  // namespace nelvo
