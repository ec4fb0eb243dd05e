#include "app/eds/eds_sync_record.h"

#include "kit/store/atomic_file.h"
#include "kit/store/xdg_folders.h"

#include <charconv>
#include <sstream>

namespace nelvo {

namespace {

// Far more than the calendars of any desktop.
constexpr std::uintmax_t maxRecordBytes = 256 * 1024;

bool isIdentifier(const std::string& text)
{
    return !text.empty() && text.find_first_of("\t\n\r") == std::string::npos;
}

}  // namespace

EdsSyncRecord::EdsSyncRecord(std::filesystem::path path) : m_path(std::move(path)) {}

std::filesystem::path EdsSyncRecord::standardPath()
{
    return XdgFolders::fromEnvironment().cacheHome / "nelvo" / "desktop-calendar-syncs";
}

std::map<std::string, Date> EdsSyncRecord::read() const
{
    std::map<std::string, Date> out;
    std::error_code error;
    const auto text = AtomicFile::read(m_path, error, maxRecordBytes);
    if (!text)
        return out;
    std::istringstream lines(*text);
    std::string line;
    while (std::getline(lines, line)) {
        const auto tab = line.find('\t');
        if (tab == std::string::npos)
            continue;
        long long unix = 0;
        const char* first = line.data() + tab + 1;
        const char* last = line.data() + line.size();
        if (std::from_chars(first, last, unix).ec != std::errc() || unix <= 0)
            continue;
        out[line.substr(0, tab)] = Date::fromUnixSeconds(static_cast<double>(unix));
    }
    return out;
}

std::optional<Date> EdsSyncRecord::lastSync(const std::string& calendarID)
{
    const auto all = read();
    const auto it = all.find(calendarID);
    return it == all.end() ? std::nullopt : std::optional<Date>(it->second);
}

void EdsSyncRecord::remember(const std::map<std::string, Date>& syncs)
{
    if (syncs.empty())
        return;
    auto all = read();
    for (const auto& [id, when] : syncs)
        if (isIdentifier(id))
            all[id] = when;
    std::string text;
    for (const auto& [id, when] : all)
        text += id + "\t" + std::to_string(static_cast<long long>(when.unixSeconds())) + "\n";
    std::error_code error;
    std::filesystem::create_directories(m_path.parent_path(), error);
    (void)AtomicFile::write(m_path, text);
}

}  // namespace nelvo
