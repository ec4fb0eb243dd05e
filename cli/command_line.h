#pragma once

#include "kit/core/daily_window.h"
#include "kit/core/date.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace nelvo {

// What `nelvo print` was asked for. Every override is optional: absent means the stored
// setting.
struct PrintOptions {
    bool isDemo = false;
    std::vector<std::string> calendars;  // --calendar, in order
    std::vector<std::string> addresses;  // --me
    std::string format = "text";         // a name in OutputFormats
    std::optional<std::string> outputPath;
    std::optional<Date> now;
    std::optional<std::string> zone;
    std::optional<std::vector<std::string>> zones;
    std::optional<int> dayCount;
    std::optional<std::string> startDayKey;
    std::optional<DailyWindow> window;
    std::optional<std::int64_t> minimumMinutes;
    std::optional<std::int64_t> noticeMinutes;
    std::optional<bool> use24Hour;
    std::optional<bool> weekendsOffered;
};

enum class CalendarsAction { list, add, remove };

struct CalendarsOptions {
    bool isDemo = false;
    CalendarsAction action = CalendarsAction::list;
    std::string path;
};

struct ZonesOptions {
    std::string query;
};

struct WindowOptions {
    bool isDemo = false;
};

struct HelpRequest {};
struct VersionRequest {};

using Command = std::variant<WindowOptions, PrintOptions, CalendarsOptions, ZonesOptions,
                             HelpRequest, VersionRequest>;

// The parsed command line, or the one-line message of a usage error ("--days takes a number
// from 1 to 14, not \"20\"").
struct ParsedCommand {
    std::optional<Command> command;
    std::string error;
};

// The whole command line, every subcommand; arguments[0] is the program name. The options of
// print, their error texts and their usage lines all come from one table.
ParsedCommand parseCommandLine(const std::vector<std::string>& arguments);

// "HH:MM" as minutes of the day; empty unless 00:00...23:59.
std::optional<std::int64_t> parseClockTime(std::string_view text);

std::string usageText();

}  // namespace nelvo
