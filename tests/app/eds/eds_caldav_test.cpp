#include "app/eds/caldav_server.h"
#include "app/eds/eds_calendar_source.h"
#include "app/eds/eds_session.h"

#include "support/calendar_server.h"
#include "support/event_text.h"
#include "support/golden.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"
#include "support/time_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>

namespace nelvo {
namespace {

using test::at;
using test::CaldavServer;
using test::EdsSession;

// The title of every meeting here: it must never reach a message.
constexpr const char* marker = "Zeppelinkonferenz";

std::string meeting(const std::string& uid, const std::string& day)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Nelvo tests//EN\r\nBEGIN:VEVENT\r\nUID:" +
           uid + "\r\nDTSTAMP:20250101T000000Z\r\nDTSTART:" + day + "T150000Z\r\nDTEND:" + day +
           "T160000Z\r\nSUMMARY:" + marker + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

bool has(const std::vector<CalendarEvent>& events, const std::string& uid)
{
    return std::any_of(events.begin(), events.end(),
                       [&](const CalendarEvent& e) { return e.eventID == uid; });
}

// Calendars on a real CalDAV server behind the private EDS, each read as one run of the
// command line reads it: a new source that waits for its one fetch.
class EdsCaldavTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::string whyNot;
        session = EdsSession::get(whyNot);
        if (!session)
            GTEST_SKIP() << "Evolution Data Server cannot run here: " << whyNot;
    }

    void TearDown() override
    {
        // The other tests of this program read every calendar of the shared store.
        for (const std::string& uid : made)
            if (session)
                session->removeCalendar(uid);
    }

    std::string caldav(const std::string& title, const std::string& address,
                       const std::string& user = {})
    {
        std::string uid = session->createCaldavCalendar(title, address, user);
        if (!uid.empty())
            made.push_back(uid);
        return uid;
    }

    std::unique_ptr<EdsCalendarSource> run(const std::string& uid,
                                           std::chrono::milliseconds timeout)
    {
        auto source = std::make_unique<EdsCalendarSource>();
        source->setPrimaryZone(*TimeZone::named("UTC"));
        source->setWaitForFetch(true);
        source->setAnswerTimeout(timeout);
        source->setChosenCalendars(std::vector<std::string>{uid});
        return source;
    }

    static void expectNoTitle(const EdsCalendarSource& source)
    {
        for (const CalendarState& state : source.lastFetchStates())
            EXPECT_EQ(state.line(at("2025-03-05T00:00:00Z")).find(marker), std::string::npos);
        for (const SourceProblem& problem : source.lastFetchProblems())
            EXPECT_EQ(problem.message.find(marker), std::string::npos);
    }

    EdsSession* session = nullptr;
    std::vector<std::string> made;
    // Where the source keeps its record of last reads: its own, for each test.
    const test::TempFolder cache{"nelvo-cache"};
    const test::ScopedEnv cacheEnv{"XDG_CACHE_HOME", cache.path().string()};
    const Date from = at("2025-03-03T00:00:00Z");
    const Date to = at("2025-03-10T00:00:00Z");
    // Generous: the first read of an account starts its backend on a busy machine.
    const std::chrono::milliseconds patient{20'000};
};

TEST_F(EdsCaldavTest, ANewAccountIsReadFromItsServerThenFollowsItAndOutlivesIt)
{
    CaldavServer server;
    if (!server.whyNot().empty())
        GTEST_SKIP() << server.whyNot();
    const std::string address = server.calendar("team");
    server.put("team", "m1", meeting("m1@test", "20250304"));
    const std::string uid = caldav("Team", address);
    ASSERT_FALSE(uid.empty());

    // The first read of a new account: its meetings, not an empty copy taken for free time.
    {
        auto source = run(uid, patient);
        const auto events = source->events(from, to);
        const auto states = source->lastFetchStates();
        ASSERT_EQ(states.size(), 1u);
        EXPECT_EQ(states[0].kind, CalendarState::Kind::upToDate) << states[0].line(from);
        EXPECT_EQ(states[0].name, "Team (" + session->displayName("caldav-stub") + ")");
        EXPECT_TRUE(has(events, "m1@test"));
        EXPECT_TRUE(source->isLastFetchComplete());
    }

    // A series changed "this and future", as the server keeps it, gives through the desktop
    // the occurrences the file reader wrote down for it: the later ones moved, one of them
    // cancelled on its own.
    {
        const std::string path = test::testDataPath("ics/this_and_future");
        const std::string collection = server.calendar("moved");
        server.put("moved", "weekly", test::readFile(path + ".ics"));
        EdsCalendarSource source;
        source.setPrimaryZone(*TimeZone::named("America/New_York"));
        source.setWaitForFetch(true);
        source.setAnswerTimeout(patient);
        source.setChosenCalendars(std::vector<std::string>{caldav("Moved", collection)});
        std::string text = "# occurrences\n";
        for (const CalendarEvent& e :
             source.events(at("2025-03-01T05:00:00Z"), at("2025-04-01T04:00:00Z")))
            text += test::iso(e.start) + " " + test::iso(e.end) + " " + e.title + " | " +
                    test::traits(e) + "\n";
        const std::string written = test::readFile(path + ".txt");
        EXPECT_EQ(text, written.substr(0, written.find("# busy")));
    }

    // A change on the server is seen by the next run, not the one after.
    server.put("team", "m2", meeting("m2@test", "20250305"));
    {
        auto source = run(uid, patient);
        const auto events = source->events(from, to);
        EXPECT_TRUE(has(events, "m2@test"));
        EXPECT_EQ(source->lastFetchStates().at(0).kind, CalendarState::Kind::upToDate);
    }

    // The server gone: the saved copy is read, dated by the last read that was up to date.
    server.stop();
    {
        auto source = run(uid, patient);
        const auto events = source->events(from, to);
        EXPECT_TRUE(has(events, "m1@test") && has(events, "m2@test"));
        const auto states = source->lastFetchStates();
        ASSERT_EQ(states.size(), 1u);
        EXPECT_EQ(states[0].kind, CalendarState::Kind::savedCopy) << states[0].line(from);
        EXPECT_TRUE(states[0].asOf.has_value());
        EXPECT_TRUE(source->isLastFetchComplete()) << "a dated copy is a warning only";
        expectNoTitle(*source);
    }
}

TEST_F(EdsCaldavTest, AnAccountWithoutItsPasswordNeedsSignIn)
{
    CaldavServer server("secret");
    if (!server.whyNot().empty())
        GTEST_SKIP() << server.whyNot();
    const std::string address = server.calendar("locked");
    server.put("locked", "m1", meeting("m1@test", "20250304"));
    const std::string uid = caldav("Locked", address, "ana");
    ASSERT_FALSE(uid.empty());

    auto source = run(uid, patient);
    source->events(from, to);
    const auto states = source->lastFetchStates();
    ASSERT_EQ(states.size(), 1u);
    EXPECT_EQ(states[0].kind, CalendarState::Kind::needsSignIn) << states[0].line(from);
    EXPECT_FALSE(source->isLastFetchComplete()) << "its busy time may be missing";
    expectNoTitle(*source);
}

TEST_F(EdsCaldavTest, AServerThatNeverAnswersCostsTheDeadlineOnly)
{
    test::SilentServer silent;
    const std::string uid =
        caldav("Silent", "http://127.0.0.1:" + std::to_string(silent.port()) + "/ana/silent/");
    ASSERT_FALSE(uid.empty());

    auto source = run(uid, std::chrono::milliseconds(1500));
    const auto started = std::chrono::steady_clock::now();
    source->events(from, to);
    const auto took = std::chrono::steady_clock::now() - started;
    const auto states = source->lastFetchStates();
    ASSERT_EQ(states.size(), 1u);
    EXPECT_EQ(states[0].kind, CalendarState::Kind::noAnswer) << states[0].line(from);
    EXPECT_EQ(states[0].cause, "did not answer in 1500 ms");
    EXPECT_FALSE(source->isLastFetchComplete());
    // Bounded by the deadline, not by the server's own time-outs (tens of seconds).
    EXPECT_LT(took, std::chrono::seconds(5));
}

}  // namespace
}  // namespace nelvo
