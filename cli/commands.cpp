#include "cli/commands.h"

#include "app/availability_model.h"
#include "app/demo_calendar_source.h"
#include "app/ics_calendar_source.h"
#include "kit/core/day_key.h"
#include "kit/render/markdown_renderer.h"
#include "kit/store/adjustments_store.h"
#include "kit/store/atomic_file.h"
#include "kit/store/file_user_defaults.h"
#include "kit/store/in_memory_user_defaults.h"
#include "kit/store/settings_store.h"
#include "kit/store/xdg_folders.h"
#include "kit/zones/zone_catalog.h"
#include "kit/core/zone_display_name.h"

#include <nlohmann/json.hpp>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>

namespace nelvo {

namespace {

namespace fs = std::filesystem;

constexpr const char* locationsKey = "calendars.locations";
constexpr const char* addressesKey = "calendars.addresses";

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

std::string expandHome(const std::string& path)
{
    if (path.rfind("~/", 0) == 0) {
        if (const char* home = std::getenv("HOME"))
            return std::string(home) + path.substr(1);
    }
    return path;
}

// Empty when the path can be read; otherwise the line that says why not.
std::optional<std::string> unreadable(const std::string& path)
{
    const std::string expanded = expandHome(path);
    std::error_code error;
    const auto status = fs::status(expanded, error);
    std::string reason;
    if (!fs::exists(status))
        reason = "no such file or folder";
    else if (::access(expanded.c_str(), R_OK | (fs::is_directory(status) ? X_OK : 0)) != 0)
        reason = "permission denied";
    else if (!fs::is_directory(status) && !fs::is_regular_file(status))
        reason = "not a file or folder";
    if (reason.empty())
        return std::nullopt;
    return "cannot read calendar \"" + path + "\": " + reason;
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
    std::vector<std::string> lastFetchWarnings() const override
    {
        return m_source->lastFetchWarnings();
    }
    void setPrimaryZone(const TimeZone& zone) override { m_source->setPrimaryZone(zone); }

private:
    std::shared_ptr<EventSource> m_source;
};

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
        std::ofstream out(target, std::ios::binary);
        out << text;
        out.flush();
        return out ? std::error_code{} : std::make_error_code(std::errc::io_error);
    }
    return AtomicFile::write(target, text);
}

// Writes each warning on its own line; true when one says a chosen calendar could not be read
// at all (skipped events only warn).
bool reportWarnings(const std::vector<std::string>& warnings, std::ostream& err)
{
    bool isUnusable = false;
    for (const auto& warning : warnings) {
        err << warning << "\n";
        isUnusable = isUnusable || warning.rfind("cannot read calendar", 0) == 0;
    }
    return isUnusable;
}

std::string withLineFeed(std::string text)
{
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text + "\n";
}

nlohmann::ordered_json slotsJson(const std::vector<Slot>& slots)
{
    auto list = nlohmann::ordered_json::array();
    for (const Slot& slot : slots)
        list.push_back({{"start", slot.start.iso8601()}, {"end", slot.end.iso8601()}});
    return list;
}

std::string jsonOutput(const AvailabilityModel& model)
{
    nlohmann::ordered_json days = nlohmann::ordered_json::array();
    for (const DayData& day : model.days()) {
        days.push_back({{"id", day.id},
                        {"isToday", day.isToday},
                        {"isExcluded", day.isExcluded},
                        {"window",
                         {{"startMinutes", day.window.startMinutes},
                          {"endMinutes", day.window.endMinutes}}},
                        {"slots", slotsJson(day.slots)}});
    }
    const nlohmann::ordered_json document{
        {"zone", model.zone().id()},
        {"rangeStart", DayKey::string(model.rangeStart(), model.zone())},
        {"slots", slotsJson(model.slots())},
        {"days", std::move(days)}};
    return document.dump(2);
}

std::string render(const AvailabilityModel& model, OutputFormat format)
{
    switch (format) {
    case OutputFormat::text:
        return model.chatText();
    case OutputFormat::markdown:
        return model.markdownText();
    case OutputFormat::html:
        return model.richHTML();
    case OutputFormat::table:
        return model.tableMarkdown();
    case OutputFormat::tableMarkdown:
        return MarkdownRenderer::render(model.table());
    case OutputFormat::tableHtml:
        return model.tableHTML();
    case OutputFormat::email:
        return model.emailHTML();
    case OutputFormat::rtf:
        return model.richRTF();
    case OutputFormat::json:
        return jsonOutput(model);
    }
    return {};
}

// The settings as stored, copied into memory with the run's overrides: the model may save
// them, and nothing reaches the user's file.
std::shared_ptr<InMemoryUserDefaults> settingsForRun(const UserDefaults& stored,
                                                     const PrintOptions& options,
                                                     const TimeZone& currentZone)
{
    auto defaults = std::make_shared<InMemoryUserDefaults>();
    if (auto value = stored.value(SettingsStore::defaultKey))
        defaults->setValue(SettingsStore::defaultKey, std::move(value));
    SettingsStore store(defaults);
    Settings settings = store.load(currentZone);
    if (options.zone)
        settings.primaryZoneID = options.zone;
    if (options.zones) {
        // The rulers named, in that order, keeping the labels the user gave them.
        std::vector<ZoneEntry> rulers;
        for (const auto& id : *options.zones) {
            const auto stored = std::find_if(settings.zones.begin(), settings.zones.end(),
                                             [&](const ZoneEntry& entry) {
                                                 return Settings::zonesMatch(entry.id, id);
                                             });
            rulers.push_back(stored != settings.zones.end() ? *stored : ZoneEntry{.id = id, .label = {}});
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

}  // namespace

int runPrint(const PrintOptions& options, std::ostream& out, std::ostream& err)
{
    const FileUserDefaults stored(defaultsPath(options.isDemo));
    const TimeZone currentZone = TimeZone::system();

    std::shared_ptr<EventSource> source;
    if (options.isDemo && options.calendars.empty()) {
        source = std::make_shared<DemoCalendarSource>();
    } else {
        std::vector<std::string> locations = options.calendars;
        if (locations.empty() && !options.isDemo)
            locations = stored.stringList(locationsKey).value_or(std::vector<std::string>{});
        std::vector<std::string> addresses = stored.stringList(addressesKey).value_or(
            std::vector<std::string>{});
        addresses.insert(addresses.end(), options.addresses.begin(), options.addresses.end());
        for (const auto& location : locations) {
            if (const auto reason = unreadable(location)) {
                err << *reason << "\n";
                return exitBadInput;
            }
        }
        if (locations.empty())
            err << "No calendar is read, so only the working hours count. Add one with "
                   "\"nelvo calendars add PATH\" or --calendar PATH.\n";
        source = std::make_shared<IcsCalendarSource>(std::move(locations), std::move(addresses));
    }
    source = std::make_shared<UnwatchedSource>(std::move(source));

    const auto now = options.now;
    AvailabilityModel model(
        source, std::make_shared<SettingsStore>(settingsForRun(stored, options, currentZone)),
        std::make_shared<AdjustmentsStore>(AdjustmentsStore::readOnly(adjustmentsPath(options.isDemo))),
        now ? AvailabilityModel::Clock([now] { return *now; }) : AvailabilityModel::Clock(AvailabilityModel::systemNow),
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
            err << "--start " << *options.startDayKey
                << " is not after today, so the range starts today\n";
    }

    // A chosen calendar that could not be read leaves the answer unknown: say which, and print
    // no availability that would look complete. Skipped events only warn.
    if (reportWarnings(model.fetchWarnings(), err))
        return exitBadInput;

    const std::string text = withLineFeed(render(model, options.format));
    if (options.outputPath && *options.outputPath != "-") {
        if (const auto error = writeOutput(*options.outputPath, text)) {
            err << "cannot write \"" << *options.outputPath << "\": " << error.message() << "\n";
            return exitBadInput;
        }
        return exitDone;
    }
    out << text;
    out.flush();
    if (!out) {
        err << "cannot write standard output\n";
        return exitBadInput;
    }
    return exitDone;
}

int runCalendars(const CalendarsOptions& options, std::ostream& out, std::ostream& err)
{
    FileUserDefaults defaults(defaultsPath(options.isDemo));
    std::vector<std::string> locations =
        defaults.stringList(locationsKey).value_or(std::vector<std::string>{});

    if (options.action == CalendarsAction::list) {
        std::shared_ptr<EventSource> source;
        if (options.isDemo)
            source = std::make_shared<DemoCalendarSource>();
        else
            source = std::make_shared<IcsCalendarSource>(locations);
        const auto calendars = source->calendars();
        const Settings settings = SettingsStore(std::make_shared<FileUserDefaults>(defaults.path()))
                                      .load(TimeZone::system());
        const auto included = settings.includedCalendars(calendars);
        if (calendars.empty() && locations.empty())
            out << "No calendars are chosen. Add one with \"nelvo calendars add PATH\".\n";
        for (const auto& calendar : calendars) {
            out << calendar.title << "\t" << calendar.accountTitle << "\t" << calendar.colorHex
                << "\t" << (included.contains(calendar.id) ? "counts" : "does not count") << "\t"
                << calendar.id << "\n";
        }
        return reportWarnings(source->lastFetchWarnings(), err) ? exitBadInput : exitDone;
    }

    if (options.action == CalendarsAction::add) {
        if (const auto reason = unreadable(options.path)) {
            err << *reason << "\n";
            return exitBadInput;
        }
        std::error_code error;
        const std::string path = fs::canonical(expandHome(options.path), error).string();
        if (std::find(locations.begin(), locations.end(), path) == locations.end())
            locations.push_back(path);
        if (!defaults.setStringList(locationsKey, locations)) {
            err << "cannot write \"" << defaults.path().string() << "\"\n";
            return exitBadInput;
        }
        out << "Added " << path << "\n";
        return exitDone;
    }

    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(expandHome(options.path), error);
    const auto before = locations.size();
    std::erase_if(locations, [&](const std::string& location) {
        return location == options.path || (!error && fs::path(location) == canonical);
    });
    if (locations.size() == before) {
        err << "\"" << options.path << "\" is not among the chosen calendars\n";
        return exitBadInput;
    }
    if (!defaults.setStringList(locationsKey, locations)) {
        err << "cannot write \"" << defaults.path().string() << "\"\n";
        return exitBadInput;
    }
    out << "Removed " << options.path << "\n";
    return exitDone;
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
