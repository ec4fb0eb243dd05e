#include "cli/command_line.h"

#include "cli/output_format.h"
#include "kit/core/civil.h"
#include "kit/core/included_days.h"
#include "kit/core/lead_time.h"
#include "kit/core/time_zone.h"

#include <charconv>
#include <functional>

namespace nelvo {

namespace {

// The longest values print takes: a day of minimum free time, a week of notice.
constexpr std::int64_t maxMinimumMinutes = 24 * 60;
constexpr std::int64_t maxNoticeMinutes = 7 * 24 * 60;
constexpr const char* nextDayNotice = "next-day";
// The largest picture scale print draws; screens go up to 4 pixels per point.
constexpr int maxScale = 4;

std::string quoted(std::string_view value)
{
    return "\"" + std::string(value) + "\"";
}

std::optional<std::int64_t> parseInteger(std::string_view text)
{
    std::int64_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc{} || result.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<std::int64_t> parseBetween(std::string_view text, std::int64_t low, std::int64_t high)
{
    const auto value = parseInteger(text);
    if (!value || *value < low || *value > high)
        return std::nullopt;
    return value;
}

bool isDayKey(std::string_view text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    const auto year = *parseInteger(text.substr(0, 4));
    const auto month = static_cast<int>(*parseInteger(text.substr(5, 2)));
    const auto day = static_cast<int>(*parseInteger(text.substr(8, 2)));
    return Civil::isValidDate(year, month, day);
}

// What applying a value found: nothing wrong, a value the option does not take, or a
// sentence that says more than that.
struct Verdict {
    bool isTaken = true;
    std::string detail;  // after "<option> takes <what>", replacing ", not \"<value>\""
};
const Verdict taken{};
const Verdict refused{false, {}};

// One option of print. A switch has no value name; every other option takes one value, from
// the next argument or after "=".
struct PrintOption {
    std::vector<std::string> names;  // as typed, the first the one usage shows last
    std::string valueName;           // "N", "FILE"; empty for a switch
    std::string takes;               // what its error texts say it takes
    std::string help;                // its usage line
    std::function<Verdict(PrintOptions&, const std::string& value)> apply;
};

// "text (default), markdown, ..."
std::string formatHelp()
{
    std::string help;
    for (const auto& format : OutputFormat::all())
        help += help.empty() ? std::string(format.name) + " (default)"
                             : ", " + std::string(format.name);
    return help;
}

const std::vector<PrintOption>& printOptions()
{
    static const std::vector<PrintOption> options = {
        {{"--demo", "-NelvoDemo"},
         "",
         "",
         "the demo calendar and the demo settings",
         [](PrintOptions& o, const std::string&) {
             o.isDemo = true;
             return taken;
         }},
        {{"--calendar"},
         "PATH",
         "a calendar file or folder",
         "read this iCalendar file or folder (repeatable)",
         [](PrintOptions& o, const std::string& v) {
             if (v.empty())
                 return refused;
             o.calendars.push_back(v);
             return taken;
         }},
        {{"--me"},
         "ADDRESS",
         "a calendar address",
         "a calendar address of yours (repeatable)",
         [](PrintOptions& o, const std::string& v) {
             if (v.empty())
                 return refused;
             o.addresses.push_back(v);
             return taken;
         }},
        {{"--format"},
         "F",
         "one of " + OutputFormat::names(),
         formatHelp(),
         [](PrintOptions& o, const std::string& v) {
             if (!OutputFormat::named(v))
                 return refused;
             o.format = v;
             return taken;
         }},
        {{"--output", "-o"},
         "FILE",
         "a file name",
         "write to FILE instead of standard output",
         [](PrintOptions& o, const std::string& v) {
             if (v.empty())
                 return refused;
             o.outputPath = v;
             return taken;
         }},
        {{"--now"},
         "TIME",
         "an ISO-8601 instant with Z or an offset, such as 2025-03-03T08:00:00-08:00",
         "the clock, e.g. 2025-03-03T08:00:00-08:00",
         [](PrintOptions& o, const std::string& v) {
             const auto now = Date::fromIso8601(v);
             if (!now)
                 return refused;
             o.now = *now;
             return taken;
         }},
        {{"--zone"},
         "ID",
         "a time zone identifier, such as Europe/Berlin",
         "the primary time zone, e.g. Europe/Berlin",
         [](PrintOptions& o, const std::string& v) {
             const auto zone = TimeZone::named(v);
             if (!zone)
                 return refused;
             o.zone = zone->id();
             return taken;
         }},
        {{"--zones"},
         "ID,ID,...",
         "time zone identifiers separated by commas",
         "the time zones shown, in order",
         [](PrintOptions& o, const std::string& v) {
             std::vector<std::string> ids;
             std::string_view rest = v;
             while (true) {
                 const auto comma = rest.find(',');
                 const std::string_view id = rest.substr(0, comma);
                 const auto zone = TimeZone::named(id);
                 if (!zone)
                     return Verdict{false, "; " + quoted(id) + " is not a time zone"};
                 ids.push_back(zone->id());
                 if (comma == std::string_view::npos)
                     break;
                 rest = rest.substr(comma + 1);
             }
             o.zones = std::move(ids);
             return taken;
         }},
        {{"--days"},
         "N",
         "a number from " + std::to_string(IncludedDays::minDayCount) + " to " +
             std::to_string(IncludedDays::maxDayCount),
         "included days, " + std::to_string(IncludedDays::minDayCount) + " to " +
             std::to_string(IncludedDays::maxDayCount),
         [](PrintOptions& o, const std::string& v) {
             const auto days =
                 parseBetween(v, IncludedDays::minDayCount, IncludedDays::maxDayCount);
             if (!days)
                 return refused;
             o.dayCount = static_cast<int>(*days);
             return taken;
         }},
        {{"--start"},
         "YYYY-MM-DD",
         "a day as YYYY-MM-DD",
         "the first day",
         [](PrintOptions& o, const std::string& v) {
             if (!isDayKey(v))
                 return refused;
             o.startDayKey = v;
             return taken;
         }},
        {{"--window"},
         "HH:MM-HH:MM",
         "a working window as HH:MM-HH:MM",
         "the working window (an end at or before the start is the next day)",
         [](PrintOptions& o, const std::string& v) {
             const auto dash = v.find('-');
             if (dash == std::string::npos)
                 return refused;
             const auto start = parseClockTime(std::string_view(v).substr(0, dash));
             const auto end = parseClockTime(std::string_view(v).substr(dash + 1));
             if (!start || !end)
                 return refused;
             o.window = DailyWindow{*start, *end};
             return taken;
         }},
        {{"--minimum"},
         "MINUTES",
         "a number of minutes from 0 to " + std::to_string(maxMinimumMinutes),
         "the shortest free time",
         [](PrintOptions& o, const std::string& v) {
             const auto minutes = parseBetween(v, 0, maxMinimumMinutes);
             if (!minutes)
                 return refused;
             o.minimumMinutes = *minutes;
             return taken;
         }},
        {{"--notice"},
         std::string("MINUTES|") + nextDayNotice,
         "a number of minutes from 0 to " + std::to_string(maxNoticeMinutes) + ", or " +
             nextDayNotice,
         "advance notice",
         [](PrintOptions& o, const std::string& v) {
             const auto minutes = v == nextDayNotice ? std::optional(LeadTime::nextDay)
                                                     : parseBetween(v, 0, maxNoticeMinutes);
             if (!minutes)
                 return refused;
             o.noticeMinutes = *minutes;
             return taken;
         }},
        {{"--clock"},
         "12|24",
         "12 or 24",
         "the clock",
         [](PrintOptions& o, const std::string& v) {
             if (v != "12" && v != "24")
                 return refused;
             o.use24Hour = v == "24";
             return taken;
         }},
        {{"--scale"},
         "N",
         "a number from 1 to " + std::to_string(maxScale),
         "pixels per point of the png picture (default 1)",
         [](PrintOptions& o, const std::string& v) {
             double scale = 0;
             const auto result = std::from_chars(v.data(), v.data() + v.size(), scale);
             if (v.empty() || result.ec != std::errc{} || result.ptr != v.data() + v.size() ||
                 !(scale >= 1 && scale <= maxScale))
                 return refused;
             o.scale = scale;
             return taken;
         }},
        {{"--weekends"},
         "",
         "",
         "offer weekends",
         [](PrintOptions& o, const std::string&) {
             o.weekendsOffered = true;
             return taken;
         }},
        {{"--no-weekends"},
         "",
         "",
         "leave weekends out",
         [](PrintOptions& o, const std::string&) {
             o.weekendsOffered = false;
             return taken;
         }},
    };
    return options;
}

const PrintOption* findPrintOption(std::string_view name)
{
    for (const auto& option : printOptions()) {
        for (const auto& alias : option.names) {
            if (alias == name)
                return &option;
        }
    }
    return nullptr;
}

ParsedCommand failure(std::string message)
{
    return ParsedCommand{std::nullopt, std::move(message)};
}

ParsedCommand parsePrint(const std::vector<std::string>& arguments, std::size_t first)
{
    PrintOptions options;
    for (std::size_t i = first; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> attached;
        if (name.rfind("--", 0) == 0) {
            if (const auto equals = name.find('='); equals != std::string::npos) {
                attached = name.substr(equals + 1);
                name.resize(equals);
            }
        }
        if (name == "--help" || name == "-h")
            return ParsedCommand{HelpRequest{}, {}};
        const PrintOption* option = findPrintOption(name);
        if (!option)
            return failure("print has no option " + quoted(name) + " (see nelvo --help)");
        if (option->valueName.empty()) {
            if (attached)
                return failure(name + " takes no value");
            option->apply(options, {});
            continue;
        }
        const std::string takes = name + " takes " + option->takes;
        std::string value;
        if (attached) {
            value = *attached;
        } else {
            // "-o --demo" is a forgotten value, not a file named "--demo".
            if (i + 1 >= arguments.size() || arguments[i + 1].rfind("--", 0) == 0)
                return failure(takes + ", but none was given");
            value = arguments[++i];
        }
        const Verdict verdict = option->apply(options, value);
        if (!verdict.isTaken)
            return failure(takes +
                           (verdict.detail.empty() ? ", not " + quoted(value) : verdict.detail));
    }
    return ParsedCommand{options, {}};
}

ParsedCommand parseCalendars(const std::vector<std::string>& arguments, std::size_t first)
{
    CalendarsOptions options;
    std::vector<std::string> words;
    for (std::size_t i = first; i < arguments.size(); ++i) {
        if (arguments[i] == "--demo" || arguments[i] == "-NelvoDemo")
            options.isDemo = true;
        else if (arguments[i].rfind("-", 0) == 0 && arguments[i].size() > 1)
            return failure("calendars has no option " + quoted(arguments[i]) +
                           " (see nelvo --help)");
        else
            words.push_back(arguments[i]);
    }
    if (words.empty() || (words.size() == 1 && words[0] == "list"))
        return ParsedCommand{options, {}};
    if (words[0] == "list")
        return failure("calendars list takes nothing more, not " + quoted(words[1]));
    if ((words[0] == "add" || words[0] == "remove") && words.size() == 2 && !words[1].empty()) {
        options.action = words[0] == "add" ? CalendarsAction::add : CalendarsAction::remove;
        options.path = words[1];
        return ParsedCommand{options, {}};
    }
    if (words[0] == "add" || words[0] == "remove")
        return failure("calendars " + words[0] +
                       " takes one calendar file or folder, a calendar address, or a desktop "
                       "calendar's identifier");
    return failure("calendars takes list, add PATH or remove PATH, not " + quoted(words[0]));
}

// Usage lines: the option column, then its help from column 30, wrapped at 92.
void appendUsageLine(std::string& usage, const std::string& left, const std::string& help)
{
    constexpr std::size_t helpColumn = 30;
    constexpr std::size_t width = 92;
    std::string line = "  " + left;
    if (line.size() + 2 > helpColumn) {
        usage += line + "\n";
        line.clear();
    }
    line.resize(helpColumn, ' ');
    std::size_t start = 0;
    bool isFirstWord = true;
    while (start < help.size()) {
        const auto space = help.find(' ', start);
        const std::string word =
            help.substr(start, space == std::string::npos ? std::string::npos : space - start);
        if (!isFirstWord && line.size() + 1 + word.size() > width) {
            usage += line + "\n";
            line.assign(helpColumn, ' ');
            isFirstWord = true;
        }
        if (!isFirstWord)
            line += ' ';
        line += word;
        isFirstWord = false;
        if (space == std::string::npos)
            break;
        start = space + 1;
    }
    usage += line + "\n";
}

}  // namespace

std::optional<std::int64_t> parseClockTime(std::string_view text)
{
    if (text.size() != 5 || text[2] != ':')
        return std::nullopt;
    for (std::size_t i : {0, 1, 3, 4}) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
    }
    const int hour = (text[0] - '0') * 10 + (text[1] - '0');
    const int minute = (text[3] - '0') * 10 + (text[4] - '0');
    if (hour > 23 || minute > 59)
        return std::nullopt;
    return hour * 60 + minute;
}

ParsedCommand parseCommandLine(const std::vector<std::string>& arguments)
{
    if (arguments.size() <= 1)
        return ParsedCommand{WindowOptions{}, {}};
    const std::string& first = arguments[1];
    if (first == "--help" || first == "-h" || first == "help")
        return ParsedCommand{HelpRequest{}, {}};
    if (first == "--version")
        return ParsedCommand{VersionRequest{}, {}};
    if (first == "print")
        return parsePrint(arguments, 2);
    if (first == "calendars")
        return parseCalendars(arguments, 2);
    if (first == "zones") {
        if (arguments.size() > 3)
            return failure("zones takes at most one search text; put it in quotes");
        return ParsedCommand{ZonesOptions{arguments.size() == 3 ? arguments[2] : ""}, {}};
    }
    if (first == "--demo" || first == "-NelvoDemo") {
        if (arguments.size() > 2)
            return failure("the window takes no other option than --demo, not " +
                           quoted(arguments[2]));
        return ParsedCommand{WindowOptions{true}, {}};
    }
    if (first.rfind("-", 0) == 0)
        return failure("unknown option " + quoted(first) + " (see nelvo --help)");
    return failure("unknown command " + quoted(first) + " (see nelvo --help)");
}

std::string usageText()
{
    std::string usage = R"(Usage:
  nelvo [--demo]                      open the window (demo calendar with --demo)
  nelvo print [OPTIONS]               write the availability message to standard output
  nelvo calendars [list|add PATH|remove PATH] [--demo]
                                      the calendars that are read; PATH is a calendar
                                      file or folder, a calendar's https:// or webcal://
                                      address, or a desktop calendar's identifier
  nelvo zones [QUERY]                 search the time zones: id, name, country, UTC offset
  nelvo --help | --version

Options of print (each overrides the stored setting for this run only):
)";
    for (const auto& option : printOptions()) {
        // Usage shows the short name first: "-o, --output FILE".
        std::string left;
        for (auto name = option.names.rbegin(); name != option.names.rend(); ++name) {
            if (*name == "-NelvoDemo")
                continue;  // the launch argument, kept quiet
            left += (left.empty() ? "" : ", ") + *name;
        }
        if (!option.valueName.empty())
            left += " " + option.valueName;
        appendUsageLine(usage, left, option.help);
    }
    usage +=
        "\nExit status: 0 done, 1 an input or output file could not be used, 2 a usage error.\n";
    return usage;
}

}  // namespace nelvo
