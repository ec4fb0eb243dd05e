// The command line over the desktop's calendars, against a private Evolution Data Server.
#include "app/desktop_calendar_source.h"
#include "app/eds/eds_session.h"
#include "app/module.h"
#include "cli/commands.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

// The module's factory, linked into this program.
extern "C" nelvo::DesktopCalendarSource* nelvo_make_desktop_calendars();

namespace nelvo {
namespace {

using test::EdsSession;

class DesktopCalendarsCommandTest : public testing::Test {
protected:
    void SetUp() override
    {
        Module::provide(DesktopCalendarSource::factorySymbol,
                        reinterpret_cast<void*>(&nelvo_make_desktop_calendars));
        std::string whyNot;
        session = EdsSession::get(whyNot);
        if (!session)
            GTEST_SKIP() << "Evolution Data Server cannot run here: " << whyNot;
        // The commands keep their choice in the defaults: a home of the test's own.
        for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
            homes.push_back(
                std::make_unique<test::ScopedEnv>(variable, (home.path() / variable).string()));
    }
    void TearDown() override
    {
        homes.clear();
        EdsSession::stopAll();
    }

    std::string calendars(CalendarsAction action, const std::string& path = {})
    {
        std::ostringstream out, err;
        EXPECT_EQ(runCalendars({.action = action, .path = path}, out, err), exitDone) << err.str();
        return out.str();
    }

    std::string print()
    {
        PrintOptions options;
        options.now = Date::fromIso8601("2025-03-03T08:00:00-05:00");
        options.zone = "America/New_York";
        options.dayCount = 1;
        std::ostringstream out, err;
        EXPECT_EQ(runPrint(options, out, err), exitDone) << err.str();
        return out.str();
    }

    EdsSession* session = nullptr;
    test::TempFolder home;
    std::vector<std::unique_ptr<test::ScopedEnv>> homes;
};

TEST_F(DesktopCalendarsCommandTest, ListPrintAddAndRemoveFollowTheChoice)
{
    const std::string team = session->createCalendar("Team", "#3b82f6");
    ASSERT_EQ(session->addEvents(team, "BEGIN:VCALENDAR\nVERSION:2.0\nBEGIN:VEVENT\n"
                                       "UID:review@test\nDTSTART:20250303T150000Z\n"
                                       "DTEND:20250303T170000Z\nSUMMARY:Review\nEND:VEVENT\n"
                                       "END:VCALENDAR\n"),
              "");
    // Nothing chosen yet: every desktop calendar is read.
    EXPECT_NE(calendars(CalendarsAction::list).find("Team\t"), std::string::npos);
    EXPECT_NE(calendars(CalendarsAction::list).find("\tcounts\tdesktop\t" + team + "\n"),
              std::string::npos);
    const std::string busy = print();

    EXPECT_EQ(
        calendars(CalendarsAction::remove, team).rfind("Removed the desktop calendar Team", 0), 0u);
    EXPECT_NE(calendars(CalendarsAction::list).find("\tnot read\tdesktop\t" + team + "\n"),
              std::string::npos);
    const std::string free = print();
    EXPECT_NE(busy, free) << "the meeting from 10:00 to 12:00 no longer counts";

    EXPECT_EQ(calendars(CalendarsAction::add, team).rfind("Added the desktop calendar Team", 0),
              0u);
    EXPECT_EQ(print(), busy);
    // The other calendars stayed in the choice when the first one was made.
    EXPECT_NE(calendars(CalendarsAction::list).find("\tdesktop\tbirthdays\n"), std::string::npos);
    EXPECT_EQ(calendars(CalendarsAction::list).find("not read"), std::string::npos);
}

}  // namespace
}  // namespace nelvo
