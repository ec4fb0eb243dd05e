#include "app/ics_calendar_source.h"

#include "support/manual_timer.h"
#include "support/scoped_env.h"
#include "support/time_helpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>

namespace nelvo {
namespace {

using test::at;
using test::iso;
using test::zone;
using Participation = CalendarEvent::Participation;

class IcsCalendarSourceTest : public testing::Test {
protected:
    std::string path(const std::string& relative) const
    {
        return QDir(m_dir.path()).filePath(QString::fromStdString(relative)).toStdString();
    }

    // Writes a file, making its folders.
    std::string write(const std::string& relative, const std::string& text) const
    {
        const std::string full = path(relative);
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        std::ofstream(full, std::ios::binary) << text;
        return full;
    }

    static std::string event(const std::string& uid, const std::string& title,
                             const std::string& start, const std::string& extra = "")
    {
        return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:" + uid +
               "\r\nSUMMARY:" + title + "\r\nDTSTART:" + start + "\r\nDURATION:PT1H\r\n" + extra +
               "END:VEVENT\r\nEND:VCALENDAR\r\n";
    }

    IcsCalendarSource source(std::vector<std::string> locations) const
    {
        IcsCalendarSource s(std::move(locations), {"ana@example.com"});
        s.setPrimaryZone(zone("America/New_York"));
        return s;
    }

    std::vector<CalendarEvent> march(IcsCalendarSource& s) const
    {
        return s.events(at("2025-03-01T05:00:00Z"), at("2025-04-01T04:00:00Z"));
    }

    // The folder as the source names it, links resolved.
    std::string root() const { return std::filesystem::canonical(m_dir.path().toStdString()); }

    QTemporaryDir m_dir;
};

TEST_F(IcsCalendarSourceTest, ReadsFilesFolderCalendarsAndAccountsEachOnce)
{
    // A file; a vdir with displayname and colour, holding a sync tool's conflict copy of a
    // series and its moved occurrence; an account of two vdirs; a feed.
    const std::string file =
        write("work.ics", "BEGIN:VCALENDAR\r\nX-WR-CALNAME:Work\r\nCOLOR:#3b82f6\r\n" +
                              event("w1", "Planning", "20250303T150000Z").substr(17));
    write("personal/displayname", "Personal\n");
    write("personal/color", "#f97316\n");
    const std::string series =
        event("p1", "Gym", "20250304T220000Z", "RRULE:FREQ=DAILY;COUNT=2\r\n");
    const std::string moved = "BEGIN:VEVENT\r\nUID:p1\r\nRECURRENCE-ID:20250305T220000Z\r\n"
                              "DTSTART:20250305T230000Z\r\nDURATION:PT1H\r\nEND:VEVENT\r\n";
    const std::string withMove = series.substr(0, series.size() - 15) + moved + "END:VCALENDAR\r\n";
    const std::string gym = write("personal/a.ics", withMove);
    write("personal/a (conflict).ics", withMove);
    write("personal/b.ics", event("p2", "Dinner", "20250306T230000Z"));
    write("personal/.hidden.ics", event("p3", "Half-written", "20250305T230000Z"));
    write("acme/team/t.ics", event("t1", "Retro", "20250306T150000Z"));
    write("acme/ana@acme.example/displayname", "ana@acme.example");
    write("acme/ana@acme.example/x.ics",
          event("x1", "Invite", "20250307T150000Z",
                "ATTENDEE;PARTSTAT=TENTATIVE:mailto:ana@acme.example\r\n"));
    write("feed.ics",
          "BEGIN:VCALENDAR\r\nREFRESH-INTERVAL;VALUE=DURATION:PT12H\r\nEND:VCALENDAR\r\n");
    std::filesystem::create_directory_symlink(path("personal"), path("link"));
    // A file chosen before the folder that holds it, also through a link; a vdir chosen beside
    // its account; a file chosen twice.
    auto s = source({path("link/a.ics"), file, gym, path("personal/"), path("acme"),
                     path("acme/team"), path("feed.ics"), file});
    const std::string root = this->root();

    // In the order of the locations (a file in a chosen folder is the folder's), an account's
    // by name, each calendar once.
    EXPECT_EQ(s.calendars(),
              (std::vector<CalendarInfo>{
                  {root + "/work.ics", "Work", "Other", "#3B82F6", false},
                  {root + "/personal", "Personal", "Other", "#F97316", false},
                  {root + "/acme/ana@acme.example", "ana@acme.example", "acme", "#8E8E93", false},
                  {root + "/acme/team", "team", "acme", "#8E8E93", false},
                  {root + "/feed.ics", "feed", "Other", "#8E8E93", true},
              }));
    EXPECT_TRUE(s.isLastFetchComplete());
    EXPECT_TRUE(s.lastFetchProblems().empty());
    // Each occurrence once, by start, with its calendar and its colour; dot-files of a vdir
    // are left alone.
    const auto events = march(s);
    std::vector<std::string> seen;
    for (const auto& e : events)
        seen.push_back(e.title + " " + iso(e.start) + " " + e.calendarID.substr(root.size()) + " " +
                       e.calendarColorHex);
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "Planning 2025-03-03T15:00:00Z /work.ics #3B82F6",
                        "Gym 2025-03-04T22:00:00Z /personal #F97316",
                        "Gym 2025-03-05T23:00:00Z /personal #F97316",
                        "Retro 2025-03-06T15:00:00Z /acme/team #8E8E93",
                        "Dinner 2025-03-06T23:00:00Z /personal #F97316",
                        "Invite 2025-03-07T15:00:00Z /acme/ana@acme.example #8E8E93",
                    }));
    // A calendar named by an address finds the user by it.
    EXPECT_EQ(events.back().participation, Participation::tentative);
}

TEST_F(IcsCalendarSourceTest, ReportsWhatCannotBeReadAndReadsTheRest)
{
    const std::string good = write("good.ics", event("g", "Good", "20250303T150000Z"));
    const std::string notes = write("notes.ics", "shopping list\n");
    const std::string gone = path("gone.ics");
    write("vdir/ok.ics", event("v", "Kept", "20250304T150000Z"));
    const std::string broken = write("vdir/broken.ics", "not a calendar");
    // A pipe must not block the reader; a file over 200 MB is not read at all.
    const std::string fifo = path("pipe.ics");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string huge = write("huge.ics", "BEGIN:VCALENDAR\r\n");
    std::filesystem::resize_file(huge, IcsCalendarSource::maxFileBytes + 1);  // sparse
    auto s = source({gone, fifo, good, notes, path("vdir"), huge});

    EXPECT_EQ(march(s).size(), 2u);
    EXPECT_FALSE(s.isLastFetchComplete());
    std::vector<std::string> lines;
    for (const SourceProblem& problem : s.lastFetchProblems())
        lines.push_back(problem.message);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "cannot read calendar \"" + gone + "\": no such file or folder",
                         "cannot read calendar \"" + fifo + "\": not a file or folder",
                         "cannot read calendar \"" + notes + "\": not an iCalendar file",
                         "skipped an event in \"" + broken + "\": not an iCalendar file",
                         "cannot read calendar \"" + huge + "\": larger than 200 MB",
                     }));
    // Each unreadable calendar has its state; the calendars read are up to date.
    std::vector<std::string> states;
    for (const CalendarState& state : s.lastFetchStates())
        states.push_back(state.name + (state.isUpToDate() ? "" : ": " + state.cause));
    EXPECT_EQ(states, (std::vector<std::string>{gone + ": no such file or folder",
                                                fifo + ": not a file or folder", "good",
                                                notes + ": not an iCalendar file", "vdir",
                                                huge + ": larger than 200 MB"}));
    // The unreadable files are no calendars; the folder with one bad file still is.
    EXPECT_EQ(s.calendars().size(), 2u);
    EXPECT_TRUE(s.hasAccess());
    // When everything reads, the next fetch is complete again.
    std::filesystem::remove(broken);
    s.setLocations({good, path("vdir")});
    march(s);
    EXPECT_TRUE(s.isLastFetchComplete());
    EXPECT_TRUE(s.lastFetchProblems().empty());
    // No location readable: no access.
    EXPECT_FALSE(source({gone}).hasAccess());
    EXPECT_FALSE(source({}).hasAccess());
}

// Problems carry their kind: a series not expanded over the window makes the fetch
// incomplete like an unreadable calendar; a folder's broken event files are skipped events,
// counted past a few; "~" is the home folder.
TEST_F(IcsCalendarSourceTest, ProblemsHaveKindsAndFoldersAreSummarised)
{
    const std::string endless =
        write("endless.ics", event("e", "Endless", "16010101T000000Z",
                                   "RRULE:FREQ=DAILY;BYHOUR=9,10,11,12;COUNT=2000000000\r\n"));
    for (int i = 0; i < 8; ++i)
        write("vdir/broken" + std::to_string(i) + ".ics", "not a calendar");
    write("vdir/ok.ics", event("v", "Kept", "20250304T150000Z"));
    const test::ScopedEnv home("HOME", path(""));
    auto s = source({"~/endless.ics", "~/vdir", "~/gone.ics"});

    EXPECT_EQ(march(s).size(), 1u);
    EXPECT_FALSE(s.isLastFetchComplete());
    std::vector<SourceProblem::Kind> kinds;
    for (const SourceProblem& problem : s.lastFetchProblems())
        kinds.push_back(problem.kind);
    using Kind = SourceProblem::Kind;
    EXPECT_EQ(kinds,
              (std::vector<Kind>{Kind::unreadableCalendar, Kind::skippedEvent, Kind::skippedEvent,
                                 Kind::skippedEvent, Kind::skippedEvent, Kind::skippedEvent,
                                 Kind::incompleteExpansion, Kind::skippedEvent}));
    EXPECT_EQ(s.lastFetchProblems().front().message,
              "cannot read calendar \"" + path("gone.ics") + "\": no such file or folder");
    EXPECT_EQ(s.lastFetchProblems().back().message,
              "and 3 more events in \"" + path("vdir") + "\" could not be read");
}

TEST_F(IcsCalendarSourceTest, ReadsChangedFilesAgainAndFollowsSettings)
{
    const std::string file =
        write("cal.ics", event("a", "First", "20250303T150000Z",
                               "ATTENDEE;PARTSTAT=ACCEPTED:mailto:bo@example.com\r\n"));
    auto s = source({file});
    EXPECT_EQ(march(s).at(0).participation, Participation::none);

    // New addresses are applied to what was read before.
    s.setAddresses({"Bo@Example.com"});
    EXPECT_EQ(march(s).at(0).participation, Participation::accepted);
    // A rewritten file is read again.
    write("cal.ics", event("b", "Second, longer title", "20250303T160000Z"));
    ASSERT_EQ(march(s).size(), 1u);
    EXPECT_EQ(march(s).front().title, "Second, longer title");
    // Floating times move with the primary zone.
    write("cal.ics", event("f", "Floating", "20250303T090000"));
    EXPECT_EQ(iso(march(s).at(0).start), "2025-03-03T14:00:00Z");
    s.setPrimaryZone(zone("Asia/Kolkata"));
    EXPECT_EQ(iso(march(s).at(0).start), "2025-03-03T03:30:00Z");
}

TEST_F(IcsCalendarSourceTest, CoalescesABurstOfWritesIntoOneCall)
{
    const std::string file = write("cal.ics", event("a", "First", "20250303T150000Z"));
    write("vdir/one.ics", event("v", "One", "20250304T150000Z"));
    auto s = source({file, path("vdir")});
    auto owned = std::make_unique<test::ManualTimer>();
    test::ManualTimer& timer = *owned;
    s.setCoalescingTimer(std::move(owned));
    int calls = 0;
    s.observeChanges([&] { ++calls; });
    // Once the watcher has told of every write, the quiet time ends.
    const auto quiet = [&] {
        ASSERT_TRUE(QTest::qWaitFor([&] { return timer.isActive(); }, 5000));
        QCoreApplication::processEvents();
        timer.fire();
    };

    // Several writes, one replacing the file by a rename as editors do: no call until the
    // quiet time ends, then one.
    write("cal.ics", event("a", "Second", "20250303T150000Z"));
    write("cal.ics.tmp", event("a", "Third", "20250303T150000Z"));
    std::filesystem::rename(path("cal.ics.tmp"), file);
    ASSERT_TRUE(QTest::qWaitFor([&] { return timer.isActive(); }, 5000));
    write("vdir/two.ics", event("w", "Two", "20250305T150000Z"));
    EXPECT_EQ(calls, 0);
    quiet();
    EXPECT_EQ(calls, 1);
    // The replaced file is still watched.
    write("cal.ics", event("a", "Fourth", "20250303T150000Z"));
    quiet();
    EXPECT_EQ(calls, 2);
    // An event file of a folder calendar written in place, which the folder does not tell of.
    write("vdir/one.ics", event("v", "One later", "20250304T160000Z"));
    quiet();
    EXPECT_EQ(calls, 3);
    // A neighbour in a watched folder changing is no calendar change.
    write("neighbour.txt", "x");
    quiet();
    EXPECT_EQ(calls, 3);
}

}  // namespace
}  // namespace nelvo
