#include "cli/commands.h"

#include "app/availability_model.h"
#include "app/calendar_location.h"
#include "app/demo_calendar_source.h"
#include "app/desktop_calendar_source.h"
#include "app/eds/composite_calendar_source.h"
#include "app/ics_calendar_source.h"
#include "app/web/calendar_address.h"
#include "app/web/web_calendar_copy.h"
#include "app/web_calendar_source.h"
#include "cli/output_format.h"
#include "cli/terminal_text.h"
#include "kit/core/day_key.h"
#include "kit/core/zone_display_name.h"
#include "kit/core/zone_rules.h"
#include "kit/store/adjustments_store.h"
#include "kit/store/atomic_file.h"
#include "kit/store/file_user_defaults.h"
#include "kit/store/in_memory_user_defaults.h"
#include "kit/store/settings_store.h"
#include "kit/store/xdg_folders.h"
#include "kit/zones/zone_catalog.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <set>

namespace nelvo {

namespace {

namespace fs = std::filesystem;

constexpr const char* locationsKey = "calendars.locations";
constexpr const char* addressesKey = "calendars.addresses";
// The desktop's calendars chosen in the window; absent until a choice is made, and then
// every one of them is read.
constexpr const char* desktopKey = "calendars.desktop";
// The calendar addresses chosen (secrets: never printed whole).
constexpr const char* webKey = "calendars.web";
// How long a command waits for the calendar addresses before it uses their saved copies.
constexpr std::chrono::milliseconds webBound{5000};

fs::path defaultsPath(bool isDemo)
{
    const XdgFolders folders = XdgFolders::fromEnvironment();
    return isDemo ? FileUserDefaults::demoPath(folders) : FileUserDefaults::standardPath(folders);
}

fs::path adjustmentsPath(bool isDemo)
{
    if (isDemo)
        return fs::temp_directory_path() / "nelvo-demo-adjustments.json";
    return AdjustmentsStore::defaultURL();
}

// A problem's line fit for a terminal: the path it names shortened, then control characters
// (a zone name from a calendar may hold escape sequences) replaced and the line cut.
std::string printable(const SourceProblem& problem)
{
    std::string line = problem.message;
    if (const auto at = problem.path.empty() ? std::string::npos : line.find(problem.path);
        at != std::string::npos)
        line.replace(at, problem.path.size(), TerminalText::safe(problem.path));
    return TerminalText::safe(line, 2 * TerminalText::maxBytes);
}

// Empty when the path can be read; otherwise the line that says why not.
std::optional<std::string> unreadable(const std::string& path)
{
    if (auto problem = CalendarLocation::problem(path))
        return printable(*problem);
    return std::nullopt;
}

// A one-shot command reads once and waits for nothing: the source's change watching (which
// lists and watches every chosen file) is left off.
class UnwatchedSource final : public EventSource {
public:
    explicit UnwatchedSource(std::shared_ptr<EventSource> source) : m_source(std::move(source)) {}

    bool hasAccess() const override { return m_source->hasAccess(); }
    std::vector<CalendarInfo> calendars() override { return m_source->calendars(); }
    std::vector<CalendarEvent> events(Date from, Date to) override
    {
        return m_source->events(from, to);
    }
    void observeChanges(std::function<void()>) override {}
    bool isLastFetchComplete() const override { return m_source->isLastFetchComplete(); }
    std::vector<SourceProblem> lastFetchProblems() const override
    {
        return m_source->lastFetchProblems();
    }
    std::vector<CalendarState> lastFetchStates() const override
    {
        return m_source->lastFetchStates();
    }
    void setPrimaryZone(const TimeZone& zone) override { m_source->setPrimaryZone(zone); }

private:
    std::shared_ptr<EventSource> m_source;
};

// Writes to a device or pipe as it is, with the cause of a failure (/dev/full: no space).
std::error_code writeDirectly(const fs::path& path, std::string_view text)
{
    int fd;
    do
        fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return {errno, std::generic_category()};
    std::error_code error;
    while (!text.empty() && !error) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno != EINTR)
            error = {errno, std::generic_category()};
        else if (written > 0)
            text.remove_prefix(static_cast<std::size_t>(written));
    }
    if (::close(fd) != 0 && !error && errno != EINTR)
        error = {errno, std::generic_category()};
    return error;
}

// Writes the whole text to `path`: a regular file (or a new one) is replaced atomically,
// through a symbolic link to its target; a device or pipe (/dev/stdout) is written directly.
std::error_code writeOutput(const std::string& path, const std::string& text)
{
    std::error_code error;
    fs::path target = fs::weakly_canonical(path, error);
    if (error)
        target = path;
    const auto status = fs::status(target, error);
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        if (fs::is_directory(status))
            return std::make_error_code(std::errc::is_a_directory);
        return writeDirectly(target, text);
    }
    return AtomicFile::write(target, text);
}

// Writes each calendar that is not up to date, then each problem, on its own line; true when
// one may hide busy time (a chosen calendar not read, a repeating event not expanded over the
// range): a saved copy and skipped events only warn.
bool reportWarnings(const std::vector<CalendarState>& states,
                    const std::vector<SourceProblem>& problems, Date now, std::ostream& err)
{
    bool isUnusable = false;
    std::set<std::string> named;
    for (const CalendarState& state : states) {
        if (state.isUpToDate())
            continue;
        err << TerminalText::safe(state.line(now), 2 * TerminalText::maxBytes) << "\n";
        named.insert(state.name);
        isUnusable = isUnusable || state.hidesBusyTime();
    }
    for (const auto& problem : problems) {
        // The calendar's state has said it already.
        const bool isCalendarWide = problem.kind == SourceProblem::Kind::unreadableCalendar ||
                                    problem.kind == SourceProblem::Kind::staleCalendar;
        if (isCalendarWide && named.contains(problem.path))
            continue;
        err << printable(problem) << "\n";
        isUnusable = isUnusable || problem.hidesBusyTime();
    }
    return isUnusable;
}

std::string withLineFeed(std::string text)
{
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text + "\n";
}

// The stored values a command needs, read from the defaults file once.
struct StoredDefaults {
    std::filesystem::path path;
    FileUserDefaults::Values values;
    std::optional<std::string> problem;  // why the file could not be read

    std::vector<std::string> stringList(std::string_view key) const
    {
        const auto it = values.find(key);
        if (it == values.end())
            return {};
        const auto* list = std::get_if<std::vector<std::string>>(&it->second);
        return list ? *list : std::vector<std::string>{};
    }

    // The chosen calendar addresses, fetched (at most webBound); nothing when none is chosen.
    std::shared_ptr<WebCalendarSource> web(std::vector<std::string> addresses = {}) const
    {
        std::vector<std::string> chosen = stringList(webKey);
        if (chosen.empty())
            return nullptr;
        auto source = WebCalendarSource::make(std::move(chosen), std::move(addresses));
        source->waitForRefresh(webBound);
        return source;
    }

    // The desktop's calendars that are read.
    std::shared_ptr<DesktopCalendarSource> desktop(std::vector<std::string> addresses = {}) const
    {
        auto source = DesktopCalendarSource::make(std::move(addresses));
        source->setWaitForFetch(true);
        if (values.contains(desktopKey))
            source->setChosenCalendars(stringList(desktopKey));
        return source;
    }
};

StoredDefaults readDefaults(bool isDemo)
{
    StoredDefaults stored{defaultsPath(isDemo), {}, {}};
    auto reading = FileUserDefaults(stored.path).read();
    if (reading)
        stored.values = std::move(*reading.value);
    else
        stored.problem = std::move(reading.error);
    return stored;
}

std::string quotedPath(const std::filesystem::path& path)
{
    return TerminalText::quoted(path.string());
}

// The settings as stored, copied into memory with the run's overrides: the model may save
// them, and nothing reaches the user's file. A stored record that cannot be decoded is named
// on `err`.
std::shared_ptr<InMemoryUserDefaults> settingsForRun(const StoredDefaults& stored,
                                                     const PrintOptions& options,
                                                     const TimeZone& currentZone, std::ostream& err)
{
    auto defaults = std::make_shared<InMemoryUserDefaults>();
    if (const auto it = stored.values.find(SettingsStore::defaultKey); it != stored.values.end()) {
        const auto* bytes = std::get_if<UserDefaults::Data>(&it->second);
        const auto decoded = bytes ? Settings::fromJson(bytes->bytes) : Decoded<Settings>{};
        if (decoded)
            defaults->setValue(SettingsStore::defaultKey, it->second);
        else
            err << "the settings in " << quotedPath(stored.path) << " cannot be read ("
                << (bytes ? decoded.error : "not data") << "); the default settings are used\n";
    }
    SettingsStore store(defaults);
    Settings settings = store.load(currentZone);
    if (options.zone)
        settings.primaryZoneID = options.zone;
    if (options.zones) {
        // The rulers named, in that order, keeping the labels the user gave them.
        std::vector<ZoneEntry> rulers;
        for (const auto& id : *options.zones) {
            const auto found = std::find_if(
                settings.zones.begin(), settings.zones.end(),
                [&](const ZoneEntry& entry) { return Settings::zonesMatch(entry.id, id); });
            rulers.push_back(found != settings.zones.end() ? *found
                                                           : ZoneEntry{.id = id, .label = {}});
        }
        settings.zones.clear();
        for (const auto& ruler : rulers) {
            settings.addZone(ruler.id);
            if (ruler.label)
                settings.renameZone(ruler.id, *ruler.label);
        }
    }
    if (options.dayCount)
        settings.dayCount = *options.dayCount;
    if (options.window)
        settings.window = *options.window;
    if (options.minimumMinutes)
        settings.minimumMinutes = *options.minimumMinutes;
    if (options.noticeMinutes)
        settings.leadTimeMinutes = *options.noticeMinutes;
    if (options.use24Hour)
        settings.use24Hour = *options.use24Hour;
    store.save(settings);
    return defaults;
}

// The adjustments as stored, in a store that never writes; an unreadable file is named on
// `err` and left out.
std::shared_ptr<AdjustmentsStore> adjustmentsForRun(bool isDemo, std::ostream& err)
{
    auto store =
        std::make_shared<AdjustmentsStore>(AdjustmentsStore::readOnly(adjustmentsPath(isDemo)));
    if (const auto stored = store->read(); !stored) {
        err << "cannot read " << quotedPath(store->fileURL()) << ": " << stored.error
            << "; printing without the adjustments in it\n";
    }
    return store;
}

}  // namespace

int runPrint(const PrintOptions& options, std::ostream& out, std::ostream& err)
{
    const StoredDefaults stored = readDefaults(options.isDemo);
    const TimeZone currentZone = TimeZone::system();

    std::shared_ptr<EventSource> source;
    if (options.isDemo && options.calendars.empty()) {
        source = std::make_shared<DemoCalendarSource>();
    } else {
        std::vector<std::string> locations = options.calendars;
        if (locations.empty() && !options.isDemo) {
            // Without the file the chosen calendars are unknown, and their busy time would
            // be offered as free.
            if (stored.problem) {
                err << "cannot read " << quotedPath(stored.path) << ": " << *stored.problem
                    << "; the chosen calendars are unknown, so nothing is printed (name them "
                       "with --calendar PATH)\n";
                return exitBadInput;
            }
            locations = stored.stringList(locationsKey);
        }
        std::vector<std::string> addresses = stored.stringList(addressesKey);
        addresses.insert(addresses.end(), options.addresses.begin(), options.addresses.end());
        for (const auto& location : locations) {
            if (const auto reason = unreadable(location)) {
                err << *reason << "\n";
                return exitBadInput;
            }
        }
        // Named calendars are read alone; otherwise the desktop's and the addresses' beside
        // the chosen files.
        std::shared_ptr<DesktopCalendarSource> desktop;
        std::shared_ptr<WebCalendarSource> web;
        if (options.calendars.empty() && !options.isDemo) {
            web = stored.web(addresses);
            desktop = stored.desktop(addresses);
        }
        if (locations.empty() && !web && (!desktop || desktop->calendars().empty()))
            err << "No calendar is read, so only the working hours count. Add one with "
                   "\"nelvo calendars add PATH\" or --calendar PATH.\n";
        source = std::make_shared<IcsCalendarSource>(std::move(locations), std::move(addresses));
        if (desktop) {
            using Part = CompositeCalendarSource::Part;
            source = std::make_shared<CompositeCalendarSource>(
                std::vector<Part>{{CompositeCalendarSource::Kind::desktop, desktop},
                                  {CompositeCalendarSource::Kind::file, source},
                                  {CompositeCalendarSource::Kind::web, web}});
        }
    }
    source = std::make_shared<UnwatchedSource>(std::move(source));
    if (stored.problem) {
        err << "cannot read " << quotedPath(stored.path) << ": " << *stored.problem
            << "; the default settings are used\n";
    }

    const auto now = options.now;
    AvailabilityModel model(
        source, std::make_shared<SettingsStore>(settingsForRun(stored, options, currentZone, err)),
        adjustmentsForRun(options.isDemo, err),
        now ? AvailabilityModel::Clock([now] { return *now; })
            : AvailabilityModel::Clock(AvailabilityModel::systemNow),
        [currentZone] { return currentZone; });
    if (options.weekendsOffered) {
        const bool off = !*options.weekendsOffered;
        const auto& exclusions = model.adjustments().exclusions;
        if (exclusions.saturdaysOff != off || exclusions.sundaysOff != off)
            model.setWeekendsExcluded(off);
    }
    if (options.startDayKey) {
        model.setStartDay(DayKey::date(*options.startDayKey, model.zone()));
        if (!model.startDayKey())
            err << "--start " << TerminalText::safe(*options.startDayKey)
                << " is not after today, so the range starts today\n";
    }

    // A chosen calendar that could not be read leaves the answer unknown: say which, and print
    // no availability that would look complete. Skipped events only warn.
    if (reportWarnings(model.calendarStates(), model.fetchProblems(),
                       now.value_or(AvailabilityModel::systemNow()), err))
        return exitBadInput;

    const OutputFormat* format = OutputFormat::named(options.format);
    if (!format) {
        err << "nelvo: print has no format " << TerminalText::quoted(options.format) << "\n";
        return exitUsage;
    }
    std::string text = format->render(model, options);
    if (format->isText) {
        text = withLineFeed(std::move(text));
    } else if (text.empty()) {
        err << "cannot draw the picture\n";
        return exitBadInput;
    }
    if (options.outputPath && *options.outputPath != "-") {
        if (const auto error = writeOutput(*options.outputPath, text)) {
            err << "cannot write " << TerminalText::quoted(*options.outputPath) << ": "
                << AtomicFile::reason(error) << "\n";
            return exitBadInput;
        }
        return exitDone;
    }
    errno = 0;
    out << text;
    out.flush();
    if (!out) {
        const int cause = errno;
        err << "cannot write standard output"
            << (cause != 0 ? ": " + AtomicFile::reason({cause, std::generic_category()}) : "")
            << "\n";
        return exitBadInput;
    }
    return exitDone;
}

namespace {

std::vector<std::string> stringListOf(const std::optional<UserDefaults::Value>& value)
{
    const auto* list = value ? std::get_if<std::vector<std::string>>(&*value) : nullptr;
    return list ? *list : std::vector<std::string>{};
}

int listCalendars(bool isDemo, std::ostream& out, std::ostream& err)
{
    const StoredDefaults stored = readDefaults(isDemo);
    if (stored.problem) {
        err << "cannot read " << quotedPath(stored.path) << ": " << *stored.problem
            << "; the chosen calendars are unknown\n";
        return exitBadInput;
    }
    const std::vector<std::string> locations = stored.stringList(locationsKey);
    std::shared_ptr<EventSource> source;
    std::shared_ptr<DesktopCalendarSource> desktop;
    std::shared_ptr<CompositeCalendarSource> composite;
    if (isDemo) {
        source = std::make_shared<DemoCalendarSource>();
    } else {
        desktop = stored.desktop();
        using Part = CompositeCalendarSource::Part;
        composite = std::make_shared<CompositeCalendarSource>(std::vector<Part>{
            {CompositeCalendarSource::Kind::desktop, desktop},
            {CompositeCalendarSource::Kind::file, std::make_shared<IcsCalendarSource>(locations)},
            {CompositeCalendarSource::Kind::web, stored.web()}});
        source = composite;
    }
    const auto calendars = source->calendars();
    const Settings settings = SettingsStore(std::make_shared<InMemoryUserDefaults>(stored.values))
                                  .load(TimeZone::system());
    const auto included = settings.includedCalendars(calendars);
    // The desktop's calendars left out of the choice are listed too, so they can be added.
    std::vector<CalendarInfo> unread;
    if (desktop) {
        for (CalendarInfo& calendar : desktop->allCalendars()) {
            if (!composite->kindOf(calendar.id))
                unread.push_back(std::move(calendar));
        }
    }
    if (calendars.empty() && unread.empty() && locations.empty() &&
        stored.stringList(webKey).empty())
        out << "No calendars are chosen. Add one with \"nelvo calendars add PATH\".\n";
    auto row = [&](const CalendarInfo& calendar, const char* use, const char* kind) {
        // Names and paths from the calendar files; a tab in one would shift the columns.
        out << TerminalText::safe(calendar.title) << "\t"
            << TerminalText::safe(calendar.accountTitle) << "\t"
            << TerminalText::safe(calendar.colorHex) << "\t" << use << "\t" << kind << "\t"
            << TerminalText::safe(calendar.id) << "\n";
    };
    for (const auto& calendar : calendars) {
        const auto kind = composite ? composite->kindOf(calendar.id) : std::nullopt;
        row(calendar, included.contains(calendar.id) ? "counts" : "does not count",
            kind ? CompositeCalendarSource::kindName(*kind) : "demo");
    }
    for (const auto& calendar : unread)
        row(calendar, "not read",
            CompositeCalendarSource::kindName(CompositeCalendarSource::Kind::desktop));
    return reportWarnings(source->lastFetchStates(), source->lastFetchProblems(),
                          AvailabilityModel::systemNow(), err)
               ? exitBadInput
               : exitDone;
}

}  // namespace

namespace {

struct DesktopChange {
    std::optional<std::string> title;  // nothing: the desktop has no such calendar
    bool isStored = true;
};

// Reads the desktop calendar `id` from now on, or no longer.
DesktopChange chooseDesktopCalendar(FileUserDefaults& defaults, const std::string& id,
                                    bool isChosen)
{
    const std::vector<CalendarInfo> listed = DesktopCalendarSource::make()->allCalendars();
    const auto found =
        std::find_if(listed.begin(), listed.end(),
                     [&](const CalendarInfo& calendar) { return calendar.id == id; });
    if (found == listed.end())
        return {};
    using Value = std::optional<UserDefaults::Value>;
    const bool isStored = defaults.update(desktopKey, [&](const Value& current) -> Value {
        std::vector<std::string> ids;
        if (current) {
            ids = stringListOf(current);
        } else {
            // Nothing chosen yet means every one is read: keep the others.
            for (const CalendarInfo& calendar : listed)
                ids.push_back(calendar.id);
        }
        std::erase(ids, id);
        if (isChosen)
            ids.push_back(id);
        return UserDefaults::Value{std::move(ids)};
    });
    return {.title = found->title + " (" + found->accountTitle + ")", .isStored = isStored};
}

// The stored address `text` names: itself, or its calendar's identity ("web:…").
std::optional<std::string> chosenAddress(const std::vector<std::string>& chosen,
                                         const std::string& text)
{
    const auto normal = CalendarAddress::normalized(text);
    for (const std::string& address : chosen) {
        if ((normal && address == *normal.value) || CalendarAddress::calendarID(address) == text)
            return address;
    }
    return std::nullopt;
}

// The calendar of an address as messages name it: "Team (calendar.example.com)".
std::string shownAddress(const std::string& address)
{
    const auto copy = WebCalendarCopy::load(WebCalendarCopy::standardFolder(), address);
    const std::string host = CalendarAddress::host(address);
    return TerminalText::safe(copy && !copy->name.empty() ? copy->name + " (" + host + ")" : host);
}

// Reads the calendar at `text` from now on, once it has been fetched.
int addAddress(FileUserDefaults& defaults, const std::string& text, std::ostream& out,
               std::ostream& err)
{
    const auto normal = CalendarAddress::normalized(text);
    if (!normal) {
        err << "cannot add the address: " << normal.error << "\n";
        return exitBadInput;
    }
    const std::string& address = *normal.value;
    const auto source = WebCalendarSource::make({address});
    source->waitForRefresh(webBound);
    source->calendars();
    const auto states = source->lastFetchStates();
    if (states.empty() || !states.front().isUpToDate()) {
        const std::string cause = states.empty()
                                      ? std::string("not fetched")
                                      : states.front().shortCause(AvailabilityModel::systemNow());
        err << "cannot add " << TerminalText::quoted(CalendarAddress::host(address)) << ": "
            << TerminalText::safe(cause) << "\n";
        return exitBadInput;
    }
    using Value = std::optional<UserDefaults::Value>;
    const bool isStored = defaults.update(webKey, [&](const Value& current) -> Value {
        std::vector<std::string> chosen = stringListOf(current);
        if (std::find(chosen.begin(), chosen.end(), address) != chosen.end())
            return current;
        chosen.push_back(address);
        return UserDefaults::Value{std::move(chosen)};
    });
    if (!isStored) {
        err << "cannot write " << quotedPath(defaults.path()) << ": "
            << AtomicFile::reason(defaults.lastError()) << "\n";
        return exitBadInput;
    }
    out << "Added " << TerminalText::safe(states.front().name) << "\n";
    return exitDone;
}

// Stops reading the address `text` (or the calendar "web:…"); false when it is not chosen.
std::optional<int> removeAddress(FileUserDefaults& defaults, const std::string& text,
                                 std::ostream& out, std::ostream& err)
{
    using Value = std::optional<UserDefaults::Value>;
    std::optional<std::string> removed;
    const bool isStored = defaults.update(webKey, [&](const Value& current) -> Value {
        std::vector<std::string> chosen = stringListOf(current);
        removed = chosenAddress(chosen, text);
        if (!removed)
            return current;
        std::erase(chosen, *removed);
        return UserDefaults::Value{std::move(chosen)};
    });
    if (!removed)
        return std::nullopt;
    if (!isStored) {
        err << "cannot write " << quotedPath(defaults.path()) << ": "
            << AtomicFile::reason(defaults.lastError()) << "\n";
        return exitBadInput;
    }
    out << "Removed " << shownAddress(*removed) << "\n";
    WebCalendarCopy::remove(WebCalendarCopy::standardFolder(), *removed);
    return exitDone;
}

int reportDesktopChange(const DesktopChange& change, const char* done,
                        const FileUserDefaults& defaults, std::ostream& out, std::ostream& err)
{
    if (!change.isStored) {
        err << "cannot write " << quotedPath(defaults.path()) << ": "
            << AtomicFile::reason(defaults.lastError()) << "\n";
        return exitBadInput;
    }
    out << done << " the desktop calendar " << TerminalText::safe(*change.title) << "\n";
    return exitDone;
}

}  // namespace

int runCalendars(const CalendarsOptions& options, std::ostream& out, std::ostream& err)
{
    if (options.action == CalendarsAction::list)
        return listCalendars(options.isDemo, out, err);

    // The list is read and written under the defaults' lock, so that commands run at the
    // same time (or the window) lose none of each other's changes.
    FileUserDefaults defaults(defaultsPath(options.isDemo), [&err](const std::string& line) {
        err << TerminalText::safe(line, 3 * TerminalText::maxBytes) << "\n";
    });
    using Value = std::optional<UserDefaults::Value>;

    if (options.action == CalendarsAction::add) {
        if (CalendarAddress::looksLikeAddress(options.path))
            return addAddress(defaults, options.path, out, err);
        if (const auto reason = unreadable(options.path)) {
            if (const DesktopChange change = chooseDesktopCalendar(defaults, options.path, true);
                change.title)
                return reportDesktopChange(change, "Added", defaults, out, err);
            err << *reason << "\n";
            return exitBadInput;
        }
        std::error_code error;
        const std::string path =
            fs::canonical(CalendarLocation::expanded(options.path), error).string();
        const bool isStored = defaults.update(locationsKey, [&](const Value& current) -> Value {
            std::vector<std::string> locations = stringListOf(current);
            if (std::find(locations.begin(), locations.end(), path) != locations.end())
                return current;
            locations.push_back(path);
            return UserDefaults::Value{std::move(locations)};
        });
        if (!isStored) {
            err << "cannot write " << quotedPath(defaults.path()) << ": "
                << AtomicFile::reason(defaults.lastError()) << "\n";
            return exitBadInput;
        }
        out << "Added " << TerminalText::safe(path) << "\n";
        return exitDone;
    }

    if (CalendarAddress::looksLikeAddress(options.path) || options.path.rfind("web:", 0) == 0) {
        if (const auto done = removeAddress(defaults, options.path, out, err))
            return *done;
        err << "the address is not among the chosen calendars\n";
        return exitBadInput;
    }
    std::error_code error;
    const fs::path canonical =
        fs::weakly_canonical(CalendarLocation::expanded(options.path), error);
    bool isChosen = false;
    const bool isStored = defaults.update(locationsKey, [&](const Value& current) -> Value {
        std::vector<std::string> locations = stringListOf(current);
        isChosen =
            std::erase_if(locations, [&](const std::string& location) {
                return location == options.path || (!error && fs::path(location) == canonical);
            }) > 0;
        return isChosen ? Value{UserDefaults::Value{std::move(locations)}} : current;
    });
    if (!isChosen && isStored) {
        if (const DesktopChange change = chooseDesktopCalendar(defaults, options.path, false);
            change.title)
            return reportDesktopChange(change, "Removed", defaults, out, err);
    }
    if (!isChosen) {
        if (const auto reading = defaults.read(); !reading)
            err << "cannot read " << quotedPath(defaults.path()) << ": " << reading.error
                << "; nothing was changed\n";
        else
            err << TerminalText::quoted(options.path) << " is not among the chosen calendars\n";
        return exitBadInput;
    }
    if (!isStored) {
        err << "cannot write " << quotedPath(defaults.path()) << ": "
            << AtomicFile::reason(defaults.lastError()) << "\n";
        return exitBadInput;
    }
    out << "Removed " << TerminalText::safe(options.path) << "\n";
    return exitDone;
}

int runVersion(std::ostream& out)
{
    out << "nelvo " << NELVO_VERSION
        << "\nzone rules: " << TerminalText::safe(ZoneRules::description()) << "\n";
    return exitDone;
}

std::optional<std::string> useZoneRulesBeside(const std::filesystem::path& executable)
{
    const fs::path folder = executable.parent_path();
    // Installed: the rules where the build installs them, relative to the program. In the
    // build tree: <build>/tzdata beside <build>/cli/nelvo.
    const fs::path installed = (folder / NELVO_ZONE_RULES_RELATIVE).lexically_normal();
    for (const fs::path& candidate : {installed, (folder / ".." / "tzdata").lexically_normal()}) {
        if (ZoneRules::useFolder(candidate))
            return std::nullopt;
    }
#ifdef NELVO_HAS_ZONE_RULES
    if (const char* named = std::getenv("ICU_TIMEZONE_FILES_DIR"); !named || !*named)
        return "the zone rules are missing: there is no " +
               TerminalText::quoted((installed / ZoneRules::fileName).string()) +
               " (reinstall Nelvo)";
#endif
    return std::nullopt;
}

fs::path modulesBeside(const std::filesystem::path& executable)
{
    return (executable.parent_path() / NELVO_MODULES_RELATIVE).lexically_normal();
}

int runZones(const ZonesOptions& options, std::ostream& out)
{
    const ZoneCatalog catalog = ZoneCatalog::system("en_US");
    const Date now = AvailabilityModel::systemNow();
    for (const auto& entry : catalog.search(options.query)) {
        out << entry.id << "\t" << entry.name << "\t" << entry.country.value_or("") << "\t"
            << ZoneDisplayName::offsetText(entry.id, now) << "\n";
    }
    return exitDone;
}

}  // namespace nelvo
