#include "cli/command_line.h"
#include "cli/output_format.h"
#include "support/golden.h"

#include <gtest/gtest.h>

#include <sstream>

namespace nelvo {
namespace {

ParsedCommand parse(std::vector<std::string> words)
{
    words.insert(words.begin(), "nelvo");
    return parseCommandLine(words);
}

// The words of a command line written as one text, split at spaces.
std::vector<std::string> words(const std::string& line)
{
    std::vector<std::string> out;
    std::istringstream in(line);
    for (std::string word; in >> word;)
        out.push_back(word);
    return out;
}

TEST(CommandLine, PrintOptionsSubcommandsAndTheWindow)
{
    const auto parsed = parse(words(
        "print --demo --format=markdown --calendar a.ics --calendar b --zone US/Pacific --zones "
        "Europe/Berlin,Asia/Calcutta --days 14 --start 2025-03-10 --window 22:00-02:00 --minimum "
        "45 --notice next-day --clock 24 --no-weekends -o out.md --now 2025-03-03T08:00:00-08:00 "
        "--me ana@example.org"));
    ASSERT_TRUE(parsed.command) << parsed.error;
    const auto& options = std::get<PrintOptions>(*parsed.command);
    EXPECT_TRUE(options.isDemo);
    EXPECT_EQ(options.format, "markdown");
    EXPECT_EQ(options.calendars, (std::vector<std::string>{"a.ics", "b"}));
    // Zone aliases resolve to IANA names.
    EXPECT_EQ(options.zone, "America/Los_Angeles");
    EXPECT_EQ(options.zones, (std::vector<std::string>{"Europe/Berlin", "Asia/Kolkata"}));
    EXPECT_EQ(options.dayCount, 14);
    EXPECT_EQ(options.startDayKey, "2025-03-10");
    EXPECT_EQ(options.window, (DailyWindow{1320, 120}));
    EXPECT_EQ(options.minimumMinutes, 45);
    EXPECT_EQ(options.noticeMinutes, 1440);
    EXPECT_EQ(options.use24Hour, true);
    EXPECT_EQ(options.weekendsOffered, false);
    EXPECT_EQ(options.outputPath, "out.md");
    EXPECT_EQ(options.now->iso8601(), "2025-03-03T16:00:00Z");
    EXPECT_EQ(options.addresses, std::vector<std::string>{"ana@example.org"});
    // No subcommand opens the window; --demo opens it in demo mode. (--help, --version, zones
    // and a bare "calendars" are run whole by NelvoBinary.)
    EXPECT_FALSE(std::get<WindowOptions>(*parse({}).command).isDemo);
    EXPECT_TRUE(std::get<WindowOptions>(*parse({"-NelvoDemo"}).command).isDemo);
    const auto add =
        std::get<CalendarsOptions>(*parse({"calendars", "add", "/x.ics", "--demo"}).command);
    EXPECT_EQ(add.action, CalendarsAction::add);
    EXPECT_EQ(add.path, "/x.ics");
    EXPECT_TRUE(add.isDemo);
}

TEST(CommandLine, BadValuesNameTheOptionAndWhatItTakes)
{
    // The file holds command lines, each with its error text under it, indented.
    const std::string expected = test::readFile(test::testDataPath("cli/bad_values.txt"));
    std::istringstream in(expected);
    std::string errors;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("  "))
            continue;
        const auto parsed = parse(words(line));
        EXPECT_FALSE(parsed.command) << line;
        errors += line + "\n  " + parsed.error + "\n";
    }
    EXPECT_EQ(errors, expected);
}

TEST(CommandLine, UsageAndParserAgreeOnEveryOptionAndFormat)
{
    const std::string usage = usageText();
    const std::string printPart = usage.substr(usage.find("Options of print"));
    // Every option the usage shows is one print takes (a switch, or with its value).
    std::size_t shown = 0;
    for (std::size_t at = printPart.find("  -"); at != std::string::npos;
         at = printPart.find("  -", at + 1)) {
        std::size_t end = printPart.find_first_of(" ,\n", at + 2);
        const std::string name = printPart.substr(at + 2, end - at - 2);
        const std::string unknown = "print has no option \"" + name + "\"";
        EXPECT_EQ(parse({"print", name}).error.rfind(unknown, 0), std::string::npos) << name;
        ++shown;
    }
    EXPECT_GE(shown, 15u);
    // Every format parses, and the usage lists them all (the error text: bad_values.txt).
    for (const auto& format : OutputFormat::all()) {
        const auto parsed = parse({"print", "--format", std::string(format.name)});
        ASSERT_TRUE(parsed.command) << parsed.error;
        EXPECT_EQ(std::get<PrintOptions>(*parsed.command).format, format.name);
        EXPECT_NE(printPart.find(std::string(format.name)), std::string::npos) << format.name;
    }
    EXPECT_EQ(std::get<PrintOptions>(*parse({"print"}).command).format, "text");
    // The usage fits a terminal.
    for (std::size_t start = 0, end; (end = usage.find('\n', start)) != std::string::npos;
         start = end + 1)
        EXPECT_LE(end - start, 92u) << usage.substr(start, end - start);
}

}  // namespace
}  // namespace nelvo
