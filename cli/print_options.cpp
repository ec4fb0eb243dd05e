#include "cli/print_options.h"

#include "kit/core/civil.h"
#include "kit/core/time_zone.h"

#include <charconv>
#include <cstdio>

namespace nelvo {

namespace {

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

std::optional<OutputFormat> parseFormat(std::string_view text)
{
    static const std::pair<const char*, OutputFormat> formats[] = {
        {"text", OutputFormat::text},         {"markdown", OutputFormat::markdown},
        {"html", OutputFormat::html},         {"table", OutputFormat::table},
        {"table-markdown", OutputFormat::tableMarkdown},
        {"table-html", OutputFormat::tableHtml},
        {"email", OutputFormat::email},       {"rtf", OutputFormat::rtf},
        {"json", OutputFormat::json},
    };
    for (const auto& [name, format] : formats) {
        if (text == name)
            return format;
    }
    return std::nullopt;
}

// Walks the arguments of one subcommand; options take their value from the next argument
// or after "=".
class Arguments {
public:
    Arguments(const std::vector<std::string>& arguments, std::size_t first)
        : m_arguments(arguments), m_index(first)
    {
    }

    bool atEnd() const { return m_index >= m_arguments.size(); }

    // The next argument, split at "=" when it is a long option with a value attached.
    std::string next()
    {
        std::string argument = m_arguments[m_index++];
        m_attached.reset();
        if (argument.rfind("--", 0) == 0) {
            if (const auto equals = argument.find('='); equals != std::string::npos) {
                m_attached = argument.substr(equals + 1);
                argument.resize(equals);
            }
        }
        return argument;
    }

    std::optional<std::string> value()
    {
        if (m_attached) {
            auto v = std::move(m_attached);
            m_attached.reset();
            return v;
        }
        if (atEnd())
            return std::nullopt;
        return m_arguments[m_index++];
    }

    bool hasAttachedValue() const { return m_attached.has_value(); }

private:
    const std::vector<std::string>& m_arguments;
    std::size_t m_index;
    std::optional<std::string> m_attached;
};

ParsedCommand failure(std::string message)
{
    return ParsedCommand{std::nullopt, std::move(message)};
}

ParsedCommand parsePrint(const std::vector<std::string>& arguments, std::size_t first)
{
    PrintOptions options;
    Arguments args(arguments, first);
    while (!args.atEnd()) {
        const std::string option = args.next();
        if (option == "--help" || option == "-h") {
            return ParsedCommand{HelpRequest{}, {}};
        } else if (option == "--demo" || option == "-NelvoDemo") {
            options.isDemo = true;
        } else if (option == "--weekends" || option == "--no-weekends") {
            options.weekendsOffered = option == "--weekends";
        } else if (option == "--calendar" || option == "--me" || option == "--format" ||
                   option == "--output" || option == "-o" || option == "--now" ||
                   option == "--zone" || option == "--zones" || option == "--days" ||
                   option == "--start" || option == "--window" || option == "--minimum" ||
                   option == "--notice" || option == "--clock") {
            static const std::pair<const char*, const char*> takes[] = {
                {"--calendar", "a calendar file or folder"},
                {"--me", "a calendar address"},
                {"--format",
                 "one of text, markdown, html, table, table-markdown, table-html, email, rtf, json"},
                {"--output", "a file name"},
                {"-o", "a file name"},
                {"--now", "an ISO-8601 instant with Z or an offset, such as 2025-03-03T08:00:00-08:00"},
                {"--zone", "a time zone identifier, such as Europe/Berlin"},
                {"--zones", "time zone identifiers separated by commas"},
                {"--days", "a number from 1 to 14"},
                {"--start", "a day as YYYY-MM-DD"},
                {"--window", "a working window as HH:MM-HH:MM"},
                {"--minimum", "a number of minutes from 0 to 1440"},
                {"--notice", "a number of minutes from 0 to 10080, or next-day"},
                {"--clock", "12 or 24"},
            };
            const char* what = "";
            for (const auto& [name, description] : takes) {
                if (option == name)
                    what = description;
            }
            const bool wasAttached = args.hasAttachedValue();
            const auto value = args.value();
            if (!value)
                return failure(option + " takes " + what + ", but none was given");
            // "-o --demo" is a forgotten value, not a file named "--demo".
            if (!wasAttached && value->rfind("--", 0) == 0)
                return failure(option + " takes " + what + ", but none was given");
            auto bad = [&] { return failure(option + " takes " + what + ", not " + quoted(*value)); };

            if (option == "--calendar") {
                if (value->empty())
                    return bad();
                options.calendars.push_back(*value);
            } else if (option == "--me") {
                if (value->empty())
                    return bad();
                options.addresses.push_back(*value);
            } else if (option == "--format") {
                const auto format = parseFormat(*value);
                if (!format)
                    return bad();
                options.format = *format;
            } else if (option == "--output" || option == "-o") {
                if (value->empty())
                    return bad();
                options.outputPath = *value;
            } else if (option == "--now") {
                const auto now = Date::fromIso8601(*value);
                if (!now)
                    return bad();
                options.now = *now;
            } else if (option == "--zone") {
                const auto zone = TimeZone::named(*value);
                if (!zone)
                    return bad();
                options.zone = zone->id();
            } else if (option == "--zones") {
                std::vector<std::string> ids;
                std::string_view rest = *value;
                while (true) {
                    const auto comma = rest.find(',');
                    const std::string_view id = rest.substr(0, comma);
                    const auto zone = TimeZone::named(id);
                    if (!zone)
                        return failure(option + " takes " + what + "; " + quoted(id) +
                                       " is not a time zone");
                    ids.push_back(zone->id());
                    if (comma == std::string_view::npos)
                        break;
                    rest = rest.substr(comma + 1);
                }
                options.zones = std::move(ids);
            } else if (option == "--days") {
                const auto days = parseInteger(*value);
                if (!days || *days < 1 || *days > 14)
                    return bad();
                options.dayCount = static_cast<int>(*days);
            } else if (option == "--start") {
                if (!isDayKey(*value))
                    return bad();
                options.startDayKey = *value;
            } else if (option == "--window") {
                const auto dash = value->find('-');
                const auto start = dash == std::string::npos
                                       ? std::nullopt
                                       : parseClockTime(std::string_view(*value).substr(0, dash));
                const auto end = dash == std::string::npos
                                     ? std::nullopt
                                     : parseClockTime(std::string_view(*value).substr(dash + 1));
                if (!start || !end)
                    return bad();
                options.window = DailyWindow{*start, *end};
            } else if (option == "--minimum") {
                const auto minutes = parseInteger(*value);
                if (!minutes || *minutes < 0 || *minutes > 1440)
                    return bad();
                options.minimumMinutes = *minutes;
            } else if (option == "--notice") {
                if (*value == "next-day") {
                    options.noticeMinutes = 1440;
                } else {
                    const auto minutes = parseInteger(*value);
                    if (!minutes || *minutes < 0 || *minutes > 10080)
                        return bad();
                    options.noticeMinutes = *minutes;
                }
            } else if (option == "--clock") {
                if (*value != "12" && *value != "24")
                    return bad();
                options.use24Hour = *value == "24";
            }
        } else {
            return failure("print has no option " + quoted(option) + " (see nelvo --help)");
        }
        if (args.hasAttachedValue())
            return failure(option + " takes no value");
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
        return failure("calendars " + words[0] + " takes one calendar file or folder");
    return failure("calendars takes list, add PATH or remove PATH, not " + quoted(words[0]));
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
    // arguments[0] is the program name.
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
    return R"(Usage:
  nelvo [--demo]                      open the window (demo calendar with --demo)
  nelvo print [OPTIONS]               write the availability message to standard output
  nelvo calendars [list|add PATH|remove PATH] [--demo]
                                      the calendars that are read
  nelvo zones [QUERY]                 search the time zones: id, name, country, UTC offset
  nelvo --help | --version

Options of print (each overrides the stored setting for this run only):
  --demo                      the demo calendar and the demo settings
  --calendar PATH             read this iCalendar file or folder (repeatable)
  --me ADDRESS                a calendar address of yours (repeatable)
  --format F                  text (default), markdown, html, table, table-markdown,
                              table-html, email, rtf, json
  -o, --output FILE           write to FILE instead of standard output
  --now TIME                  the clock, e.g. 2025-03-03T08:00:00-08:00
  --zone ID                   the primary time zone, e.g. Europe/Berlin
  --zones ID,ID,...           the time zones shown, in order
  --days N                    included days, 1 to 14
  --start YYYY-MM-DD          the first day
  --window HH:MM-HH:MM        the working window (an end at or before the start is the
                              next day)
  --minimum MINUTES           the shortest free time
  --notice MINUTES|next-day   advance notice
  --clock 12|24               the clock
  --weekends, --no-weekends   whether weekends are offered

Exit status: 0 done, 1 an input or output file could not be used, 2 a usage error.
)";
}

}  // namespace nelvo
