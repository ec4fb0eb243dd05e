#include "app/ics_calendar_source.h"

#include "app/calendar_location.h"
#include "app/ics_document.h"
#include "app/source_problem_list.h"

#include <QFileSystemWatcher>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <unordered_map>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nelvo {

namespace {

namespace fs = std::filesystem;

constexpr const char* noColor = "#8E8E93";
constexpr const char* otherAccount = "Other";

bool hasIcsExtension(const std::string& name)
{
    if (name.size() < 5)
        return false;
    std::string ext = name.substr(name.size() - 4);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".ics";
}

bool isHidden(const std::string& name)
{
    return name.empty() || name.front() == '.';
}

struct Stamp {
    std::int64_t size = -1;
    std::int64_t modifiedNs = 0;
    std::uint64_t inode = 0;
    std::uint64_t device = 0;
    bool operator==(const Stamp&) const = default;
};

std::optional<Stamp> stampOf(const struct stat& st)
{
    return Stamp{.size = st.st_size,
                 .modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 +
                               st.st_mtim.tv_nsec,
                 .inode = st.st_ino,
                 .device = st.st_dev};
}

std::optional<Stamp> stampOf(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return stampOf(st);
}

// A whole regular file, or the reason it cannot be had. Never blocks on a pipe or device.
struct FileText {
    std::string text;
    Stamp stamp;
    std::string error;
};

FileText readFile(const std::string& path, std::int64_t maxBytes)
{
    FileText out;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        out.error = CalendarLocation::reason(errno);
        return out;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        out.error = CalendarLocation::reason(errno);
    } else if (!S_ISREG(st.st_mode)) {
        out.error = "not a regular file";
    } else if (st.st_size > maxBytes) {
        out.error = "larger than " + std::to_string(maxBytes / (1024 * 1024)) + " MB";
    } else {
        out.stamp = *stampOf(st);
        out.text.resize(static_cast<std::size_t>(st.st_size));
        std::size_t done = 0;
        while (out.error.empty()) {
            if (done == out.text.size()) {
                if (out.text.size() > static_cast<std::size_t>(maxBytes)) {
                    out.error = "larger than " + std::to_string(maxBytes / (1024 * 1024)) + " MB";
                    break;
                }
                out.text.resize(out.text.size() + 64 * 1024);  // the file grew while read
            }
            const ssize_t n = ::read(fd, out.text.data() + done, out.text.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                out.error = CalendarLocation::reason(errno);
            else if (n == 0)
                break;
            else
                done += static_cast<std::size_t>(n);
        }
        out.text.resize(done);
    }
    ::close(fd);
    if (!out.error.empty())
        out.text.clear();
    return out;
}

// The first line of a small text file (a vdir's `displayname` or `color`); empty when absent.
std::string firstLine(const std::string& path)
{
    FileText file = readFile(path, 4096);
    std::string text = file.text.substr(0, file.text.find('\n'));
    while (!text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.erase(0, 1);
    return text;
}

struct Listing {
    std::vector<std::string> icsFiles;    // full paths, sorted
    std::vector<std::string> subfolders;  // full paths, sorted
    bool hasVdirMarker = false;           // `displayname` or `color`
    std::string error;
};

Listing list(const std::string& folder)
{
    Listing out;
    std::error_code ec;
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    if (ec) {
        out.error = CalendarLocation::reason(ec.value());
        return out;
    }
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec)
            break;
        const std::string name = it->path().filename().string();
        if (isHidden(name))
            continue;
        std::error_code typeError;
        if (it->is_directory(typeError))
            out.subfolders.push_back(it->path().string());
        else if (hasIcsExtension(name) && it->is_regular_file(typeError))
            out.icsFiles.push_back(it->path().string());
        else if (name == "displayname" || name == "color")
            out.hasVdirMarker = true;
    }
    if (ec)
        out.error = CalendarLocation::reason(ec.value());
    std::sort(out.icsFiles.begin(), out.icsFiles.end());
    std::sort(out.subfolders.begin(), out.subfolders.end());
    return out;
}

std::string canonical(const std::string& path)
{
    std::error_code ec;
    const fs::path result = fs::canonical(path, ec);
    return ec ? fs::absolute(path, ec).lexically_normal().string() : result.string();
}

std::string baseName(const std::string& path)
{
    return fs::path(path).filename().string();
}

// One calendar found among the locations.
struct FoundCalendar {
    std::string id;  // the canonical path
    std::string path;
    bool isFolder = false;
    std::string accountTitle = otherAccount;
    std::vector<std::string> files;  // a folder's event files
    std::string folderTitle;         // a folder's `displayname`, else its name
    std::string folderColor;         // a folder's `color`
};

struct CachedDocument {
    Stamp stamp;
    std::string calendarID;
    std::string fallbackName;
    std::shared_ptr<const IcsDocument> document;
    bool isUsed = false;
};

}  // namespace

struct IcsCalendarSource::Impl {
    std::vector<std::string> locations;
    std::vector<std::string> addresses;
    TimeZone primaryZone = TimeZone::system();

    std::unordered_map<std::string, CachedDocument> cache;  // by file path
    bool isComplete = true;
    SourceProblemList problems;
    std::vector<CalendarState> states;

    std::function<void()> handler;
    std::unique_ptr<QFileSystemWatcher> watcher;
    std::unique_ptr<QTimer> timer;
    std::vector<std::pair<std::string, std::optional<Stamp>>> lastSeen;

    struct Loaded {
        CalendarInfo info;
        std::vector<std::shared_ptr<const IcsDocument>> documents;
    };

    void failed(const std::string& path, const std::string& reason)
    {
        failed(CalendarLocation::unreadable(path, reason));
        states.push_back({.calendarID = canonical(path),
                          .name = path,
                          .kind = CalendarState::Kind::unreadable,
                          .cause = reason});
    }

    void failed(SourceProblem problem)
    {
        isComplete = false;
        problems.add(std::move(problem));
    }

    // The calendars the locations name, in order, each once.
    std::vector<FoundCalendar> discover()
    {
        std::vector<FoundCalendar> calendarsFound;
        std::set<std::string> ids;
        auto add = [&](FoundCalendar found) {
            if (ids.insert(found.id).second)
                calendarsFound.push_back(std::move(found));
        };
        auto folderCalendar = [](const std::string& path, const Listing& listing,
                                 std::string account) {
            FoundCalendar found;
            found.id = canonical(path);
            found.path = path;
            found.isFolder = true;
            found.accountTitle = std::move(account);
            found.files = listing.icsFiles;
            found.folderTitle = firstLine(path + "/displayname");
            if (found.folderTitle.empty())
                found.folderTitle = baseName(fs::path(found.id).string());
            found.folderColor = firstLine(path + "/color");
            return found;
        };
        for (const std::string& location : locations) {
            if (auto why = CalendarLocation::whyUnreadable(location)) {
                failed(CalendarLocation::trimmed(location), *why);
                continue;
            }
            std::string path = CalendarLocation::expanded(location);
            while (path.size() > 1 && path.back() == '/')
                path.pop_back();
            struct stat st {};
            if (::stat(path.c_str(), &st) != 0) {
                failed(path, CalendarLocation::reason(errno));
                continue;
            }
            if (S_ISREG(st.st_mode)) {
                FoundCalendar found;
                found.id = canonical(path);
                found.path = path;
                add(std::move(found));
                continue;
            }
            if (!S_ISDIR(st.st_mode)) {
                failed(path, "not a file or folder");
                continue;
            }
            const Listing listing = list(path);
            if (!listing.error.empty()) {
                failed(path, listing.error);
                continue;
            }
            std::vector<std::pair<std::string, Listing>> vdirs;
            if (listing.icsFiles.empty() && !listing.hasVdirMarker) {
                for (const std::string& sub : listing.subfolders) {
                    Listing inner = list(sub);
                    if (!inner.error.empty()) {
                        failed(sub, inner.error);
                        continue;
                    }
                    if (!inner.icsFiles.empty() || inner.hasVdirMarker)
                        vdirs.emplace_back(sub, std::move(inner));
                }
            }
            if (vdirs.empty()) {
                add(folderCalendar(path, listing, otherAccount));
                continue;
            }
            const std::string account = baseName(canonical(path));
            for (auto& [sub, inner] : vdirs)
                add(folderCalendar(sub, inner, account));
        }
        dropFilesOfFolders(calendarsFound);
        return calendarsFound;
    }

    // A file chosen on its own that is also an event file of a chosen folder belongs to the
    // folder: read apart as well, its events would count twice.
    static void dropFilesOfFolders(std::vector<FoundCalendar>& calendarsFound)
    {
        std::map<std::string, const FoundCalendar*> folders;
        for (const FoundCalendar& found : calendarsFound)
            if (found.isFolder)
                folders.emplace(found.id, &found);
        if (folders.empty())
            return;
        auto isInFolder = [&](const FoundCalendar& found) {
            if (found.isFolder)
                return false;
            const auto folder = folders.find(fs::path(found.id).parent_path().string());
            if (folder == folders.end())
                return false;
            const auto& files = folder->second->files;
            return std::any_of(files.begin(), files.end(), [&](const std::string& file) {
                return canonical(file) == found.id;
            });
        };
        std::set<std::string> covered;
        for (const FoundCalendar& found : calendarsFound)
            if (isInFolder(found))
                covered.insert(found.id);
        std::erase_if(calendarsFound,
                      [&](const FoundCalendar& found) { return covered.count(found.id) > 0; });
    }

    std::shared_ptr<const IcsDocument> document(const std::string& path,
                                                const std::string& calendarID,
                                                const std::string& fallbackName, bool usesTextName)
    {
        auto it = cache.find(path);
        if (it != cache.end()) {
            const auto stamp = stampOf(path);
            if (stamp && *stamp == it->second.stamp && it->second.calendarID == calendarID &&
                it->second.fallbackName == fallbackName) {
                it->second.isUsed = true;
                return it->second.document;
            }
        }
        FileText file = readFile(path, maxFileBytes);
        if (!file.error.empty()) {
            failed(path, file.error);
            return nullptr;
        }
        IcsDocument::Options options{.calendarID = calendarID,
                                     .origin = path,
                                     .primaryZone = primaryZone,
                                     .addresses = addresses,
                                     .fallbackName = fallbackName,
                                     .usesTextName = usesTextName};
        auto parsed = IcsDocument::parse(file.text, options);
        cache[path] = CachedDocument{.stamp = file.stamp,
                                     .calendarID = calendarID,
                                     .fallbackName = fallbackName,
                                     .document = parsed,
                                     .isUsed = true};
        return parsed;
    }

    // Reads what changed; reports what cannot be read.
    std::vector<Loaded> load()
    {
        isComplete = true;
        problems.clear();
        states.clear();
        for (auto& [_, entry] : cache)
            entry.isUsed = false;
        std::vector<Loaded> result;
        for (const FoundCalendar& found : discover()) {
            Loaded loaded;
            loaded.info.id = found.id;
            loaded.info.accountTitle = found.accountTitle;
            std::string color;
            bool usable = true;
            if (!found.isFolder) {
                std::string stem = baseName(found.path);
                if (hasIcsExtension(stem))
                    stem.resize(stem.size() - 4);
                auto doc = document(found.path, found.id, stem, true);
                if (!doc)
                    continue;
                if (!doc->isCalendar()) {
                    failed(found.path, "not an iCalendar file");
                    usable = false;
                }
                loaded.info.title = doc->title();
                loaded.info.isBirthdayOrSubscription = doc->isPublishedFeed();
                color = doc->color();
                loaded.documents.push_back(std::move(doc));
            } else {
                loaded.info.title = found.folderTitle;
                color = found.folderColor;
                for (const std::string& file : found.files) {
                    auto doc = document(file, found.id, found.folderTitle, false);
                    if (!doc)
                        continue;
                    if (!doc->isCalendar()) {
                        // One file of a folder is one event: a broken one is a skipped
                        // event, not an unreadable calendar.
                        problems.add({.kind = SourceProblem::Kind::skippedEvent,
                                      .path = file,
                                      .message = "skipped an event in \"" + file +
                                                 "\": not an iCalendar file"},
                                     found.path);
                        continue;
                    }
                    loaded.documents.push_back(std::move(doc));
                }
            }
            if (!usable)
                continue;
            for (const auto& doc : loaded.documents) {
                problems.append(doc->problems(), found.path);
                if (doc->isTruncated())
                    isComplete = false;
            }
            loaded.info.colorHex = IcsDocument::normalizedColorHex(color);
            if (loaded.info.colorHex.empty())
                loaded.info.colorHex = noColor;
            states.push_back({.calendarID = loaded.info.id, .name = loaded.info.title});
            result.push_back(std::move(loaded));
        }
        for (auto it = cache.begin(); it != cache.end();) {
            if (it->second.isUsed)
                ++it;
            else
                it = cache.erase(it);
        }
        return result;
    }

    // ---- Watching --------------------------------------------------------------------

    // Every path whose change matters, with what it looks like now.
    std::vector<std::pair<std::string, std::optional<Stamp>>> snapshot()
    {
        std::vector<std::pair<std::string, std::optional<Stamp>>> out;
        for (const std::string& location : locations) {
            const std::string path = CalendarLocation::expanded(location);
            out.emplace_back(path, stampOf(path));
            const Listing listing = list(path);
            for (const std::string& file : listing.icsFiles)
                out.emplace_back(file, stampOf(file));
            for (const std::string& sub : listing.subfolders) {
                const Listing inner = list(sub);
                out.emplace_back(sub, stampOf(sub));
                for (const char* marker : {"/displayname", "/color"})
                    out.emplace_back(sub + marker, stampOf(sub + marker));
                for (const std::string& file : inner.icsFiles)
                    out.emplace_back(file, stampOf(file));
            }
            for (const char* marker : {"/displayname", "/color"})
                out.emplace_back(path + marker, stampOf(path + marker));
        }
        return out;
    }

    void arm()
    {
        if (!watcher)
            return;
        constexpr int maximumWatchedFiles = 2000;
        int watchedFiles = 0;
        QStringList wanted;
        for (const std::string& location : locations) {
            const std::string path = CalendarLocation::expanded(location);
            struct stat st {};
            const bool exists = ::stat(path.c_str(), &st) == 0;
            if (exists)
                wanted << QString::fromStdString(path);
            // Editors and sync tools replace a file by renaming a new one over it, which
            // only its folder sees; the folder also sees a vanished file come back.
            wanted << QString::fromStdString(fs::path(path).parent_path().string());
            if (exists && S_ISDIR(st.st_mode)) {
                // A folder tells of files added, removed or renamed, not of one written in
                // place, so its event files are watched too, up to a bound well within the
                // system's watch limit; past that, the next read sees the change.
                const Listing listing = list(path);
                std::vector<std::string> files = listing.icsFiles;
                for (const std::string& sub : listing.subfolders) {
                    wanted << QString::fromStdString(sub);
                    const Listing inner = list(sub);
                    files.insert(files.end(), inner.icsFiles.begin(), inner.icsFiles.end());
                }
                for (const std::string& file : files) {
                    if (watchedFiles++ < maximumWatchedFiles)
                        wanted << QString::fromStdString(file);
                }
            }
        }
        wanted.removeDuplicates();
        wanted.removeAll(QString());
        QStringList current = watcher->files() + watcher->directories();
        QStringList stale;
        for (const QString& p : current)
            if (!wanted.contains(p))
                stale << p;
        if (!stale.isEmpty())
            watcher->removePaths(stale);
        QStringList missing;
        for (const QString& p : wanted)
            if (!current.contains(p))
                missing << p;
        if (!missing.isEmpty())
            watcher->addPaths(missing);
    }

    void useTimer(std::unique_ptr<QTimer> replacement)
    {
        timer = std::move(replacement);
        timer->setSingleShot(true);
        QObject::connect(timer.get(), &QTimer::timeout, timer.get(), [this] {
            arm();
            auto now = snapshot();
            if (now == lastSeen)
                return;  // a neighbour in a watched folder changed, not a calendar
            lastSeen = std::move(now);
            if (handler)
                handler();
        });
    }

    void startWatching()
    {
        if (!timer) {
            useTimer(std::make_unique<QTimer>());
            timer->setInterval(std::chrono::milliseconds(400));
        }
        watcher = std::make_unique<QFileSystemWatcher>();
        auto poke = [this] { timer->start(); };
        QObject::connect(watcher.get(), &QFileSystemWatcher::fileChanged, watcher.get(), poke);
        QObject::connect(watcher.get(), &QFileSystemWatcher::directoryChanged, watcher.get(), poke);
        lastSeen = snapshot();
        arm();
    }
};

IcsCalendarSource::IcsCalendarSource(std::vector<std::string> locations,
                                     std::vector<std::string> addresses)
    : m_impl(std::make_unique<Impl>())
{
    m_impl->locations = std::move(locations);
    m_impl->addresses = std::move(addresses);
}

IcsCalendarSource::~IcsCalendarSource() = default;
IcsCalendarSource::IcsCalendarSource(IcsCalendarSource&&) noexcept = default;
IcsCalendarSource& IcsCalendarSource::operator=(IcsCalendarSource&&) noexcept = default;

void IcsCalendarSource::setLocations(std::vector<std::string> locations)
{
    if (locations == m_impl->locations)
        return;
    m_impl->locations = std::move(locations);
    if (m_impl->watcher) {
        m_impl->lastSeen = m_impl->snapshot();
        m_impl->arm();
    }
}

const std::vector<std::string>& IcsCalendarSource::locations() const
{
    return m_impl->locations;
}

void IcsCalendarSource::setAddresses(std::vector<std::string> addresses)
{
    if (addresses == m_impl->addresses)
        return;
    m_impl->addresses = std::move(addresses);
    m_impl->cache.clear();  // participation was read with the old addresses
}

const std::vector<std::string>& IcsCalendarSource::addresses() const
{
    return m_impl->addresses;
}

void IcsCalendarSource::setPrimaryZone(const TimeZone& zone)
{
    if (zone == m_impl->primaryZone)
        return;
    m_impl->primaryZone = zone;
    m_impl->cache.clear();  // floating times and dates were placed in the old zone
}

bool IcsCalendarSource::hasAccess() const
{
    return std::any_of(m_impl->locations.begin(), m_impl->locations.end(),
                       [](const std::string& location) {
                           return ::access(CalendarLocation::expanded(location).c_str(), R_OK) == 0;
                       });
}

std::vector<CalendarInfo> IcsCalendarSource::calendars()
{
    std::vector<CalendarInfo> result;
    for (auto& loaded : m_impl->load())
        result.push_back(std::move(loaded.info));
    return result;
}

std::vector<CalendarEvent> IcsCalendarSource::events(Date from, Date to)
{
    std::vector<CalendarEvent> result;
    const auto loaded = m_impl->load();
    for (const auto& calendar : loaded) {
        std::vector<const IcsDocument*> documents;
        for (const auto& doc : calendar.documents)
            documents.push_back(doc.get());
        SourceProblemList problems;
        const bool whole =
            IcsDocument::expand(documents, from, to, calendar.info.id, calendar.info.colorHex,
                                maxOccurrences, result, problems);
        for (const SourceProblem& problem : problems.list())
            m_impl->isComplete = m_impl->isComplete && !problem.hidesBusyTime();
        m_impl->problems.append(problems);
        if (!whole) {
            m_impl->failed({.kind = SourceProblem::Kind::cutShort,
                            .path = calendar.info.id,
                            .message = "more than " + std::to_string(maxOccurrences) +
                                       " occurrences in the window; the rest are left out"});
            break;
        }
    }
    sortByTime(result);
    return result;
}

std::vector<AnsweredAddress> IcsCalendarSource::answeredAddresses() const
{
    std::vector<AnsweredAddress> tallies;
    for (const auto& [_, entry] : m_impl->cache) {
        if (entry.document) {
            auto more = entry.document->answeredAddresses();
            tallies.insert(tallies.end(), more.begin(), more.end());
        }
    }
    return rankedAddresses(tallies);
}

void IcsCalendarSource::observeChanges(std::function<void()> handler)
{
    m_impl->handler = std::move(handler);
    if (!m_impl->watcher)
        m_impl->startWatching();
}

void IcsCalendarSource::setCoalescingTimer(std::unique_ptr<QTimer> timer)
{
    m_impl->useTimer(std::move(timer));
}

bool IcsCalendarSource::isLastFetchComplete() const
{
    return m_impl->isComplete;
}

std::vector<SourceProblem> IcsCalendarSource::lastFetchProblems() const
{
    return m_impl->problems.list();
}

std::vector<CalendarState> IcsCalendarSource::lastFetchStates() const
{
    return m_impl->states;
}

}  // namespace nelvo
