// The built `nelvo` binary as a user and a script meet it: texts, JSON, exit statuses,
// messages, and what it must never write or leak.
#include "cli/cli_sandbox.h"
#include "support/golden.h"
#include "support/scoped_env.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <algorithm>
#include <cstring>
#include <optional>

namespace nelvo {
namespace {

namespace fs = std::filesystem;

using test::Outcome;
using test::Sandbox;

const std::vector<std::string> demoWeek{"print",  "--demo", "--now", "2025-03-03T08:00:00-08:00",
                                        "--days", "5"};

std::vector<std::string> with(std::vector<std::string> base, std::vector<std::string> more)
{
    base.insert(base.end(), more.begin(), more.end());
    return base;
}

// Distinctive words that must never leave the program.
const char* const markers[] = {"Zeppelinkonferenz", "Quixotic Walrus", "Marmaladeaccount",
                               "wombat.attendee@example.org", "Obsidian Llama"};

// A calendar whose every text is one of the markers.
const std::string markerCalendar = test::readFile(test::testDataPath("cli/marker_calendar.ics"));

TEST(NelvoBinary, DemoWeekInEveryFormatAndJsonInItsDocumentedShape)
{
    Sandbox sandbox;
    // The chat text is the golden week, whatever the machine's language.
    const Outcome text = sandbox.run(demoWeek);
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_GOLDEN("cli/demo_week.txt", text.out);
    EXPECT_EQ(text.err, "");

    for (const std::string format :
         {"markdown", "html", "table", "table-markdown", "table-html", "email", "rtf"}) {
        const Outcome run = sandbox.run(with(demoWeek, {"--format", format}));
        EXPECT_EQ(run.status, 0) << format << run.err;
        EXPECT_GOLDEN("cli/demo_week." + format, run.out);
    }
    // The other commands.
    EXPECT_EQ(sandbox.run({"zones", "kolkata"}).out, "Asia/Kolkata\tKolkata\tIndia\tUTC+5:30\n");
    EXPECT_NE(sandbox.run({"--help"}).out.find("nelvo print"), std::string::npos);
    EXPECT_EQ(sandbox.run({"--version"}).out.rfind("nelvo ", 0), 0u);
    // JSON in another zone, where it is already 01:00 of the 4th, with an overnight window.
    const Outcome run = sandbox.run(with(demoWeek, {"--format", "json", "--zone", "Asia/Tokyo",
                                                    "--weekends", "--window", "22:00-02:00"}));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_GOLDEN("cli/demo_week_tokyo.json", run.out);
}

// Width and height from a PNG's header; zeros when it is not one.
std::pair<std::uint32_t, std::uint32_t> pngSize(const std::string& bytes)
{
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0)
        return {0, 0};
    std::uint32_t size[2];  // big-endian, after the signature and the chunk's length and type
    std::memcpy(size, bytes.data() + 16, sizeof size);
    return {ntohl(size[0]), ntohl(size[1])};
}

TEST(NelvoBinary, PictureAsPngWithoutADisplay)
{
    Sandbox sandbox;
    // Into a file, at one pixel per point: one zone makes it 420 wide.
    const fs::path file = sandbox.root() / "week.png";
    Outcome run = sandbox.run(with(demoWeek, {"--format", "png", "-o", file.string()}));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    const auto [width, height] = pngSize(test::readFile(file));
    EXPECT_EQ(width, 420u);
    EXPECT_GT(height, 200u);
    // To standard output when it is not a terminal; --scale multiplies the pixels; three
    // zones make it 600 points wide.
    run = sandbox.run(with(demoWeek, {"--format", "png", "--scale", "2", "--zones",
                                      "America/Los_Angeles,Europe/London,Asia/Kolkata"}));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(pngSize(run.out).first, 1200u);
    // Never binary data onto a terminal.
    std::string whyNot;
    const auto onTerminal = sandbox.runOnTerminal(with(demoWeek, {"--format", "png"}), whyNot);
    if (!onTerminal)
        GTEST_SKIP() << "no pseudo-terminal for the terminal check (openpty: " << whyNot << ")";
    EXPECT_EQ(onTerminal->status, 2);
    EXPECT_NE(onTerminal->err.find("-o FILE"), std::string::npos) << onTerminal->err;
}

TEST(NelvoBinary, UsageErrorsAndUnusableInput)
{
    Sandbox sandbox;
    // A bad value: status 2 and one line naming the option and what it takes (each option's
    // text: CommandLine.BadValuesNameTheOptionAndWhatItTakes).
    Outcome run = sandbox.run({"print", "--days", "20"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "nelvo: --days takes a number from 1 to 14, not \"20\"\n");
    // A calendar that is not there: status 1, naming it.
    run = sandbox.run({"print", "--calendar", "/nonexistent/work.ics"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "cannot read calendar \"/nonexistent/work.ics\": no such file or folder\n");
    // A file that is not a calendar: status 1, one line, and no availability that would
    // look complete.
    const fs::path notes = sandbox.write("notes.txt", "shopping list\n");
    run = sandbox.run(with(demoWeek, {"--calendar", notes.string()}));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(run.err.rfind("cannot read calendar \"" + notes.string() + "\"", 0), 0u) << run.err;
    // An output file that cannot be written: status 1 and nothing left behind.
    run = sandbox.run(with(demoWeek, {"-o", (sandbox.root() / "missing" / "out.md").string()}));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("cannot write", 0), 0u) << run.err;
    EXPECT_FALSE(fs::exists(sandbox.root() / "missing"));
    // Through a symbolic link the target is written and the link stays; "-" is standard output.
    sandbox.write("real.txt", "old");
    fs::create_symlink(sandbox.root() / "real.txt", sandbox.root() / "link.txt");
    run = sandbox.run(with(demoWeek, {"-o", (sandbox.root() / "link.txt").string()}));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(fs::is_symlink(sandbox.root() / "link.txt"));
    EXPECT_EQ(test::readFile(sandbox.root() / "real.txt"), sandbox.run(demoWeek).out);
    EXPECT_EQ(sandbox.run(with(demoWeek, {"-o", "-"})).out, sandbox.run(demoWeek).out);
    // A start day that is not after today says so and starts today.
    run = sandbox.run(with(demoWeek, {"--start", "2025-03-01"}));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "--start 2025-03-01 is not after today, so the range starts today\n");
    // The window with no display, or with one named that cannot be reached: status 1, a line
    // that says which, and no crash.
    const test::ScopedEnv platform("QT_QPA_PLATFORM", std::nullopt);
    const test::ScopedEnv wayland("WAYLAND_DISPLAY", std::nullopt);
    std::optional<test::ScopedEnv> display;
    display.emplace("DISPLAY", std::nullopt);
    run = sandbox.run({"--demo"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("nelvo: the window needs a display", 0), 0u) << run.err;
    display.reset();
    display.emplace("DISPLAY", ":4711");
    run = sandbox.run({"--demo"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("nelvo: the window cannot reach the display (DISPLAY=:4711)", 0), 0u)
        << run.err;
}

TEST(NelvoBinary, PrintWritesNothingOfTheUsers)
{
    Sandbox sandbox;
    const fs::path calendar = sandbox.write("cal/work.ics", markerCalendar);
    // Stored settings and adjustments that print reads but must not rewrite.
    ASSERT_EQ(sandbox.run({"calendars", "add", calendar.string()}).status, 0);
    sandbox.write("home/.local/share/nelvo/Availability/adjustments.json", "{ not json");
    const auto before = sandbox.snapshot();
    for (auto& entry : fs::recursive_directory_iterator(sandbox.home()))
        fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::remove);
    fs::permissions(sandbox.home(), fs::perms::owner_write, fs::perm_options::remove);

    const Outcome run = sandbox.run({"print", "--now", "2025-03-03T08:00:00-08:00", "--days", "2"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("11:30AM - 5:00PM"), std::string::npos) << run.out;
    EXPECT_EQ(sandbox.snapshot(), before);
    EXPECT_FALSE(
        fs::exists(sandbox.home() / ".local/share/nelvo/Availability/adjustments.json.unreadable"));
}

TEST(NelvoBinary, NothingButTimesLeaves)
{
    Sandbox sandbox;
    const fs::path calendar = sandbox.write("cal/work.ics", markerCalendar);
    for (const char* format : {"text", "markdown", "html", "table", "table-markdown", "table-html",
                               "email", "rtf", "json", "png"}) {
        const Outcome run = sandbox.run({"print", "--calendar", calendar.string(), "--now",
                                         "2025-03-03T08:00:00-08:00", "--format", format, "--zones",
                                         "America/Los_Angeles,Europe/Berlin", "--me",
                                         "wombat.attendee@example.org"});
        ASSERT_EQ(run.status, 0) << format << run.err;
        for (const char* marker : markers) {
            EXPECT_EQ(run.out.find(marker), std::string::npos) << format << " leaks " << marker;
            EXPECT_EQ(run.err.find(marker), std::string::npos) << format << " leaks " << marker;
        }
    }
}

TEST(NelvoBinary, TheWindowsAddressesFreeADeclinedInvitation)
{
    Sandbox sandbox;
    std::string declined = markerCalendar;
    const std::string accepted = "PARTSTAT=ACCEPTED:mailto:wombat";
    declined.replace(declined.find(accepted), accepted.size(), "PARTSTAT=DECLINED:mailto:wombat");
    const fs::path calendar = sandbox.write("cal/work.ics", declined);
    ASSERT_EQ(sandbox.run({"calendars", "add", calendar.string()}).status, 0);
    const std::vector<std::string> week{"print", "--now", "2025-03-03T08:00:00-08:00", "--days",
                                        "1"};
    // No address known: the invitation's busy mark counts.
    EXPECT_NE(sandbox.run(week).out.find("9:00AM - 10:00AM\n11:30AM - 5:00PM"), std::string::npos);
    // The settings' "My Addresses" row keeps them in the defaults under this key.
    const fs::path defaults = sandbox.home() / ".config/nelvo/defaults.json";
    auto stored = nlohmann::json::parse(test::readFile(defaults));
    stored["calendars.addresses"] = {"Wombat.Attendee@example.org"};
    sandbox.write("home/.config/nelvo/defaults.json", stored.dump());
    const Outcome run = sandbox.run(week);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("9:00AM - 5:00PM"), std::string::npos) << run.out;
}

TEST(NelvoBinary, ChoosingCalendars)
{
    Sandbox sandbox;
    // Nothing chosen: the working hours, and one line saying how to add a calendar.
    Outcome run = sandbox.run({"print", "--now", "2025-03-03T08:00:00-08:00"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("9:00AM - 5:00PM"), std::string::npos);
    EXPECT_NE(run.err.find("nelvo calendars add PATH"), std::string::npos);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
    // Adding a missing path fails; adding a real one, listing and removing it work.
    EXPECT_EQ(sandbox.run({"calendars", "add", "/nonexistent.ics"}).status, 1);
    const fs::path calendar = sandbox.write("cal/work.ics", markerCalendar);
    EXPECT_EQ(sandbox.run({"calendars", "add", calendar.string()}).status, 0);
    // The list names the calendar, where print never does, and no event.
    const Outcome list = sandbox.run({"calendars"});
    EXPECT_NE(list.out.find(fs::canonical(calendar).string()), std::string::npos);
    EXPECT_NE(list.out.find("Obsidian Llama"), std::string::npos) << list.out;
    EXPECT_EQ(list.out.find("Zeppelinkonferenz"), std::string::npos);
    EXPECT_EQ(sandbox.run({"calendars", "remove", calendar.string()}).status, 0);
    EXPECT_EQ(sandbox.run({"calendars", "remove", calendar.string()}).status, 1);
}

TEST(NelvoBinary, CalendarsChangedAtOnceAreAllKept)
{
    Sandbox sandbox;
    std::vector<std::string> paths;
    for (int i = 0; i < 20; ++i)
        paths.push_back(
            fs::canonical(sandbox.write("cal/c" + std::to_string(i) + ".ics", markerCalendar))
                .string());
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(sandbox.run({"calendars", "add", paths[i]}).status, 0);
    // Ten removes and ten adds of others together: the ten removed go, the ten added stay.
    std::vector<Sandbox::Started> runs;
    for (int i = 0; i < 10; ++i) {
        runs.push_back(sandbox.start({"calendars", "remove", paths[i]}));
        runs.push_back(sandbox.start({"calendars", "add", paths[10 + i]}));
    }
    for (const auto& run : runs)
        EXPECT_EQ(Sandbox::finish(run).status, 0);
    const auto text = test::readFile(sandbox.home() / ".config/nelvo/defaults.json");
    auto left = nlohmann::json::parse(text)["calendars.locations"].get<std::vector<std::string>>();
    std::sort(left.begin(), left.end());
    std::vector<std::string> expected(paths.begin() + 10, paths.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(left, expected);
}

TEST(NelvoBinary, UnreadableStoredFilesAreNamedByEveryCommand)
{
    Sandbox sandbox;
    const fs::path calendar = sandbox.write("cal/work.ics", markerCalendar);
    const fs::path defaults = sandbox.home() / ".config/nelvo/defaults.json";
    const fs::path adjustments =
        sandbox.home() / ".local/share/nelvo/Availability/adjustments.json";
    ASSERT_EQ(sandbox.run({"calendars", "add", calendar.string()}).status, 0);
    const std::string good = test::readFile(defaults);
    sandbox.write("home/.config/nelvo/defaults.json", good.substr(0, good.size() / 2));
    const std::vector<std::string> week{"print", "--now", "2025-03-03T08:00:00-08:00"};

    // The chosen calendars are unknown: print fails rather than offer their busy time.
    Outcome run = sandbox.run(week);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "cannot read \"" + defaults.string() +
                           "\": not valid JSON; the chosen calendars are unknown, so nothing is "
                           "printed (name them with --calendar PATH)\n");
    // Named calendars: the default settings, said once.
    run = sandbox.run(with(week, {"--calendar", calendar.string()}));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "cannot read \"" + defaults.string() +
                           "\": not valid JSON; the default settings are used\n");
    run = sandbox.run({"calendars", "list"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(defaults.string()), std::string::npos);
    // A broken adjustments file is named, and the print goes on without it.
    sandbox.write("home/.local/share/nelvo/Availability/adjustments.json", "{\"reserved\": 3}");
    run = sandbox.run(with(week, {"--calendar", calendar.string()}));
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("cannot read \"" + adjustments.string() + "\": "), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("; printing without the adjustments in it\n"), std::string::npos)
        << run.err;
    // Adding to a broken file keeps it aside and says where.
    run = sandbox.run({"calendars", "add", calendar.string()});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("kept as \"" + defaults.string() + ".unreadable\""), std::string::npos)
        << run.err;
    EXPECT_EQ(test::readFile(defaults.string() + ".unreadable"), good.substr(0, good.size() / 2));
}

TEST(NelvoBinary, TextFromFilesReachesTheTerminalTamedAndCausesAreNamed)
{
    Sandbox sandbox;
    // A zone name holding escape sequences that would clear the screen and retitle the window.
    const std::string hostileZone = "Evil\x1b[2J\x1b]0 owned\x07" + std::string(5000, 'Z');
    const fs::path calendar = sandbox.write("cal/zone.ics", R"(BEGIN:VCALENDAR
VERSION:2.0
PRODID:-//Test//Test//EN
BEGIN:VEVENT
UID:z-1@example.org
DTSTART;TZID=)" + hostileZone + R"(:20250303T100000
DTEND;TZID=)" + hostileZone + R"(:20250303T113000
END:VEVENT
END:VCALENDAR
)");
    Outcome run = sandbox.run(with(demoWeek, {"--calendar", calendar.string()}));
    EXPECT_NE(run.err.find("Evil?[2J?]0 owned?ZZZ"), std::string::npos) << run.err.substr(0, 300);
    EXPECT_EQ(run.err.find_first_of("\x1b\x07"), std::string::npos);
    EXPECT_LT(run.err.size(), 1000u);
    // A stored location of 10 MB is named, not echoed whole.
    sandbox.write("home/.config/nelvo/defaults.json",
                  "{\"calendars.locations\": [\"/" + std::string(10'000'000, 'x') + "\"]}");
    run = sandbox.run({"print", "--now", "2025-03-03T08:00:00-08:00"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("cannot read calendar \"/xxx", 0), 0u) << run.err.substr(0, 300);
    EXPECT_LT(run.err.size(), 1000u);
    // A loop of symbolic links says so.
    fs::create_symlink(sandbox.root() / "loop.ics", sandbox.root() / "loop.ics");
    run = sandbox.run(with(demoWeek, {"--calendar", (sandbox.root() / "loop.ics").string()}));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "cannot read calendar \"" + (sandbox.root() / "loop.ics").string() +
                           "\": too many levels of symbolic links\n");
    // A full device says what is wrong.
    run = sandbox.run(with(demoWeek, {"-o", "/dev/full"}));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "cannot write \"/dev/full\": no space left on device\n");
}

TEST(NelvoBinary, ZoneRulesGoWithTheProgramAndVersionNamesThem)
{
    Sandbox sandbox;
    const fs::path built =
        fs::path(NELVO_BINARY).parent_path() / ".." / "tzdata" / "zoneinfo64.res";
    if (!fs::exists(built))
        GTEST_SKIP() << "built without rules from tzdata";
    // The build tree's own rules.
    Outcome run = sandbox.run({"--version"});
    EXPECT_NE(run.out.find("\nzone rules: tzdata 20"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(fs::canonical(built.parent_path()).string()), std::string::npos)
        << run.out;
    // Installed elsewhere: the rules beside it, whatever became of the build.
    const fs::path prefix = sandbox.root() / "prefix";
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "share/nelvo/zoneinfo");
    fs::copy_file(NELVO_BINARY, prefix / "bin/nelvo");
    fs::copy_file(built, prefix / "share/nelvo/zoneinfo/zoneinfo64.res");
    sandbox.program = (prefix / "bin/nelvo").string();
    run = sandbox.run({"--version"});
    EXPECT_NE(run.out.find("zone rules: tzdata 20"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("(" + (prefix / "share/nelvo/zoneinfo").string() + ")"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(sandbox.run(demoWeek).status, 0);
    // Installed without them: a clear stop, never the build folder's rules.
    fs::remove(prefix / "share/nelvo/zoneinfo/zoneinfo64.res");
    run = sandbox.run({"--version"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(
        run.err,
        "nelvo: the zone rules are missing: there is no \"" +
            (prefix / "bin/../share/nelvo/zoneinfo/zoneinfo64.res").lexically_normal().string() +
            "\" (reinstall Nelvo)\n");
}

}  // namespace
}  // namespace nelvo
