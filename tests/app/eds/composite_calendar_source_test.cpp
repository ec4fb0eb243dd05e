#include "app/eds/composite_calendar_source.h"

#include "support/model_fixture.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using Kind = CompositeCalendarSource::Kind;

using test::FakeSource;

CalendarEvent event(const std::string& calendar, double start, double end)
{
    CalendarEvent e;
    e.eventID = calendar + std::to_string(start);
    e.start = Date{start};
    e.end = Date{end};
    e.calendarID = calendar;
    return e;
}

CalendarInfo calendar(const std::string& id, const std::string& title)
{
    CalendarInfo c;
    c.id = id;
    c.title = title;
    return c;
}

struct CompositeCalendarSourceTest : testing::Test {
    std::shared_ptr<FakeSource> desktop = std::make_shared<FakeSource>();
    std::shared_ptr<FakeSource> files = std::make_shared<FakeSource>();
    CompositeCalendarSource source{{{Kind::desktop, desktop}, {Kind::file, files}}};
};

TEST_F(CompositeCalendarSourceTest, ListsTheDesktopFirstThenTheFilesAsOneList)
{
    desktop->calendarList = {calendar("uid-1", "Work"), calendar("shared", "Twice")};
    files->calendarList = {calendar("/home/ana/cal.ics", "cal"), calendar("shared", "Again")};
    const auto calendars = source.calendars();
    ASSERT_EQ(calendars.size(), 3u);
    EXPECT_EQ(calendars[0].id, "uid-1");
    EXPECT_EQ(calendars[1].title, "Twice") << "an identity already listed keeps its first calendar";
    EXPECT_EQ(calendars[2].id, "/home/ana/cal.ics");
    EXPECT_EQ(source.kindOf("uid-1"), Kind::desktop);
    EXPECT_EQ(source.kindOf("/home/ana/cal.ics"), Kind::file);
    EXPECT_FALSE(source.kindOf("elsewhere"));
}

TEST_F(CompositeCalendarSourceTest, MergesEventsInTimeOrderAndSkipsPartsWithoutAccess)
{
    desktop->all = {event("d", 100, 200), event("d", 300, 400)};
    files->all = {event("f", 100, 150), event("f", 250, 260)};
    auto events = source.events(Date{0}, Date{1000});
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].calendarID, "f");  // same start, ends first
    EXPECT_EQ(events[1].calendarID, "d");
    EXPECT_EQ(events[2].start, Date{250});
    EXPECT_EQ(events[3].start, Date{300});

    desktop->access = false;
    EXPECT_TRUE(source.hasAccess());
    events = source.events(Date{0}, Date{1000});
    EXPECT_EQ(events.size(), 2u);
    EXPECT_EQ(desktop->fetches, 1) << "a part without access is not asked";
    files->access = false;
    EXPECT_FALSE(source.hasAccess());
}

TEST_F(CompositeCalendarSourceTest, OneIncompletePartMakesTheWholeFetchIncomplete)
{
    desktop->complete = false;
    desktop->problems = {{SourceProblem::Kind::unreadableCalendar, "Work",
                          "desktop calendar \"Work\" did not answer"}};
    files->problems = {
        {SourceProblem::Kind::skippedEvent, "/x.ics", "an event in \"/x.ics\" was skipped"}};
    source.events(Date{0}, Date{1000});
    EXPECT_FALSE(source.isLastFetchComplete());
    EXPECT_EQ(source.lastFetchProblems().size(), 2u);

    desktop->complete = true;
    desktop->problems.clear();
    source.calendars();
    EXPECT_TRUE(source.isLastFetchComplete());
    EXPECT_EQ(source.lastFetchProblems(), files->problems);
}

TEST_F(CompositeCalendarSourceTest, ChangesOfEitherPartReachTheHandler)
{
    int calls = 0;
    source.observeChanges([&calls] { ++calls; });
    desktop->changed();
    files->changed();
    EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace nelvo
