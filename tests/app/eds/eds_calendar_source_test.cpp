#include "app/eds/eds_calendar_source.h"
#include "app/eds/eds_session.h"

#include "support/calendar_server.h"
#include "support/event_text.h"
#include "support/golden.h"
#include "support/scoped_env.h"
#include "support/time_helpers.h"

#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>

namespace nelvo {
namespace {

using test::EdsSession;

using test::at;
using test::iso;

// The deadline these tests give EDS's answers: the product's own, but longer under the
// sanitizers, which slow this process (not EDS) several times over.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::chrono::milliseconds answerDeadline{20'000};
#else
constexpr std::chrono::milliseconds answerDeadline = EdsCalendarSource::defaultAnswerTimeout;
#endif

std::optional<CalendarInfo> find(const std::vector<CalendarInfo>& calendars, const std::string& id)
{
    for (const CalendarInfo& c : calendars)
        if (c.id == id)
            return c;
    return std::nullopt;
}

std::vector<CalendarEvent> titled(const std::vector<CalendarEvent>& events,
                                  const std::string& title)
{
    std::vector<CalendarEvent> out;
    std::copy_if(events.begin(), events.end(), std::back_inserter(out),
                 [&](const CalendarEvent& e) { return e.title == title; });
    return out;
}

// A calendar of one hour-long event on 4 March 2025 at 15:00 UTC, with that title, the UID
// "<title>@test" and the property lines `more`.
std::string oneEvent(const std::string& title, const std::string& more = {})
{
    return "BEGIN:VCALENDAR\nVERSION:2.0\nBEGIN:VEVENT\nUID:" + title +
           "@test\nDTSTART:20250304T150000Z\nDTEND:20250304T160000Z\nSUMMARY:" + title + "\n" +
           more + "END:VEVENT\nEND:VCALENDAR\n";
}

// An invitation that `who` declined.
std::string declinedBy(const std::string& who)
{
    return oneEvent("Declined", "ATTENDEE;PARTSTAT=DECLINED:mailto:" + who +
                                    "\nATTENDEE;PARTSTAT=ACCEPTED:mailto:bo@example.com\n");
}

// What the one declined invitation among `events` says of the user's time.
std::string declined(const std::vector<CalendarEvent>& events)
{
    const auto found = titled(events, "Declined");
    return found.size() == 1 ? test::traits(found[0]) : std::to_string(found.size()) + " found";
}

// The private bus of these tests ends with the test program.
class StopEdsAtEnd : public testing::Environment {
public:
    void TearDown() override { EdsSession::stopAll(); }
};
[[maybe_unused]] testing::Environment* const stopEdsAtEnd =
    testing::AddGlobalTestEnvironment(new StopEdsAtEnd);

class EdsCalendarSourceTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::string whyNot;
        session = EdsSession::get(whyNot);
        if (!session)
            GTEST_SKIP() << "Evolution Data Server cannot run here: " << whyNot;
        source.setPrimaryZone(*TimeZone::named("America/New_York"));
        source.setWaitForFetch(true);
        source.setAnswerTimeout(answerDeadline);
    }

    std::string calendarWith(const std::string& title, const std::string& ics)
    {
        const std::string uid = session->createCalendar(title, "#3b82f6");
        EXPECT_FALSE(uid.empty());
        EXPECT_EQ(session->addEvents(uid, ics), "");
        return uid;
    }

    EdsSession* session = nullptr;
    EdsCalendarSource source{{"me@example.com"}};
    // The day of oneEvent().
    const Date from = at("2025-03-04T00:00:00Z");
    const Date to = at("2025-03-05T00:00:00Z");
};

TEST_F(EdsCalendarSourceTest, ListsEnabledCalendarsAndReadsOnlyTheChosen)
{
    const std::string chosen = calendarWith("Chosen", oneEvent("In"));
    const std::string other = calendarWith("Other", oneEvent("Out"));
    const std::string hidden = session->createCalendar("Hidden", "#ff0000", false);

    ASSERT_TRUE(source.hasAccess());
    const auto calendars = source.calendars();
    const auto found = find(calendars, chosen);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->title, "Chosen");
    EXPECT_EQ(found->accountTitle, session->displayName("local-stub"));  // "On This Computer"
    EXPECT_NE(found->accountTitle, "");
    EXPECT_EQ(found->colorHex, "#3B82F6");
    EXPECT_FALSE(found->isBirthdayOrSubscription);
    EXPECT_FALSE(find(calendars, hidden)) << "a disabled calendar is not listed";
    // The address books' birthdays calendar is built in.
    const auto birthdays = find(calendars, "birthdays");
    ASSERT_TRUE(birthdays);
    EXPECT_TRUE(birthdays->isBirthdayOrSubscription);
    EXPECT_TRUE(source.lastFetchProblems().empty());
    EXPECT_TRUE(source.isLastFetchComplete());

    source.setChosenCalendars(std::vector<std::string>{chosen, "gone-long-ago"});
    EXPECT_TRUE(find(source.calendars(), chosen));
    EXPECT_FALSE(find(source.calendars(), other)) << "not chosen, so not read";
    EXPECT_TRUE(find(source.allCalendars(), other)) << "but offered for choosing";
    const auto events = source.events(from, to);
    EXPECT_EQ(titled(events, "In").size(), 1u);
    EXPECT_TRUE(titled(events, "Out").empty());

    source.setChosenCalendars(std::nullopt);
    EXPECT_EQ(titled(source.events(from, to), "Out").size(), 1u) << "nothing chosen: every one";
}

TEST_F(EdsCalendarSourceTest, ReadsOccurrencesExpandedByEdsWithTheFileRules)
{
    // A weekly series with one occurrence left out and one moved, an invitation the user
    // declined, a free cancelled event, time away, an all-day and a floating event, and one
    // in a zone named the Windows way at the window's start. A daily all-day series whose
    // second day moved, the change giving neither title nor end.
    const std::string uid =
        calendarWith("Rules", test::readFile(test::testDataPath("eds/occurrence_shapes.ics")));
    source.setChosenCalendars(std::vector<std::string>{uid});
    const auto events = source.events(at("2025-03-03T05:00:00Z"), at("2025-03-24T04:00:00Z"));
    EXPECT_TRUE(source.isLastFetchComplete());
    // In time order. Weekly: the 3rd, the 10th left out, the 17th moved to the 18th at 14:00.
    // The all-day event from midnight in the primary zone; the floating one in that zone.
    std::vector<std::string> seen;
    for (const CalendarEvent& e : events) {
        EXPECT_EQ(e.calendarID, uid);
        seen.push_back(e.title + " " + iso(e.start) + " " + iso(e.end) + " " + test::traits(e));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "Edge 2025-03-03T07:00:00Z 2025-03-03T08:00:00Z busy none",
                        "Weekly 2025-03-03T14:00:00Z 2025-03-03T14:30:00Z busy none",
                        "Declined 2025-03-04T15:00:00Z 2025-03-04T16:00:00Z busy declined",
                        "Free 2025-03-05T15:00:00Z 2025-03-05T16:00:00Z free none cancelled",
                        "Away 2025-03-05T17:00:00Z 2025-03-05T18:00:00Z unavailable none",
                        "Holiday 2025-03-06T05:00:00Z 2025-03-07T05:00:00Z busy none all-day",
                        "Floating 2025-03-07T13:00:00Z 2025-03-07T14:00:00Z busy none",
                        "Trip 2025-03-10T04:00:00Z 2025-03-11T04:00:00Z busy none all-day",
                        "Trip 2025-03-12T04:00:00Z 2025-03-13T04:00:00Z busy none all-day",
                        "Weekly moved 2025-03-18T18:00:00Z 2025-03-18T19:00:00Z busy none",
                    }));
    ASSERT_EQ(events.size(), 10u);
    EXPECT_EQ(events[1].eventID, "weekly@test");
    EXPECT_EQ(events.back().occurrenceStart, at("2025-03-17T13:00:00Z"))
        << "the occurrence it replaces";

    // The file reader's calendars of zones named the Windows way and of changed occurrences
    // give, read through the desktop, the occurrences it wrote down for them, but two that
    // EDS's store no longer holds. The monthly series in "W. Europe Standard Time": the store
    // picks the events that touch the window reading that zone, which it does not know, in a
    // zone of its own, and ends the series by its UNTIL a month early. The occurrence of 31
    // March after a change "this and future": a calendar kept on this computer cuts the
    // series' rule before such a change when it takes it in (a server's keeps it whole: the
    // CalDAV test reads one).
    for (const std::string name : {"mixed_export", "moved_and_cancelled"}) {
        SCOPED_TRACE(name);
        EdsCalendarSource ana{{"ana@example.com"}};
        ana.setPrimaryZone(*TimeZone::named("America/New_York"));
        ana.setWaitForFetch(true);
        ana.setAnswerTimeout(answerDeadline);
        const std::string path = test::testDataPath("ics/" + name);
        ana.setChosenCalendars(
            std::vector<std::string>{calendarWith(name, test::readFile(path + ".ics"))});
        std::string text = "# occurrences\n";
        for (const CalendarEvent& e :
             ana.events(at("2025-03-01T05:00:00Z"), at("2025-04-01T04:00:00Z")))
            text +=
                iso(e.start) + " " + iso(e.end) + " " + e.title + " | " + test::traits(e) + "\n";
        std::istringstream written(test::readFile(path + ".txt"));
        std::string expected;
        for (std::string line; std::getline(written, line) && line != "# busy";)
            if (line.find(" Board review ") == std::string::npos &&
                !line.starts_with("2025-03-31T18:30:00Z"))
                expected += line + "\n";
        EXPECT_EQ(text, expected);
    }
}

TEST_F(EdsCalendarSourceTest, ChangesReachTheHandlerOnTheMainThread)
{
    const std::string uid = calendarWith("Changing", oneEvent("Before"));
    int calls = 0;
    source.observeChanges([&calls] { ++calls; });
    ASSERT_EQ(titled(source.events(from, to), "Before").size(), 1u);
    EXPECT_TRUE(source.lastFetchProblems().empty()) << source.lastFetchProblems().front().message;
    ASSERT_TRUE(QTest::qWaitFor([&] { return calls > 0; }, 10'000)) << "a new answer is told";
    calls = 0;

    // The same event under another title, imported over it.
    std::string renamed = oneEvent("Before");
    renamed.replace(renamed.find("SUMMARY:Before"), 14, "SUMMARY:After");
    ASSERT_EQ(session->addEvents(uid, renamed), "");
    EXPECT_TRUE(QTest::qWaitFor([&] { return calls > 0; }, 10'000)) << "an event changed";
    EXPECT_EQ(titled(source.events(from, to), "After").size(), 1u) << "told once read again";

    calls = 0;
    const std::string added = session->createCalendar("Added", "#00ff00");
    EXPECT_TRUE(QTest::qWaitFor([&] { return calls > 0; }, 10'000)) << "a calendar was added";
    EXPECT_TRUE(find(source.calendars(), added));

    calls = 0;
    ASSERT_EQ(session->removeCalendar(added), "");
    EXPECT_TRUE(QTest::qWaitFor([&] { return calls > 0; }, 10'000)) << "a calendar was removed";
    EXPECT_FALSE(find(source.calendars(), added));
}

// As the window reads: never waiting, told by the change handler when the fetch is done.
TEST_F(EdsCalendarSourceTest, TheWindowIsAnsweredAtOnceAndToldWhenTheFetchIsDone)
{
    const std::string uid = calendarWith("Quick", oneEvent("Quick"));
    EdsCalendarSource window;
    window.setAnswerTimeout(answerDeadline);
    window.setChosenCalendars(std::vector<std::string>{uid});
    std::vector<CalendarEvent> shown;
    // As the model does: read again on every change.
    window.observeChanges([&] { shown = window.events(from, to); });

    EXPECT_TRUE(window.events(from, to).empty());
    const auto before = window.lastFetchStates();
    ASSERT_EQ(before.size(), 1u);
    EXPECT_EQ(before[0].kind, CalendarState::Kind::noAnswer);
    EXPECT_EQ(before[0].cause, "still being read") << "nothing is shown as free meanwhile";
    EXPECT_FALSE(window.isLastFetchComplete());

    ASSERT_TRUE(QTest::qWaitFor([&] { return titled(shown, "Quick").size() == 1; }, 10'000));
    ASSERT_EQ(window.lastFetchStates().size(), 1u);
    EXPECT_EQ(window.lastFetchStates()[0].kind, CalendarState::Kind::upToDate);
    EXPECT_TRUE(window.isLastFetchComplete());
}

// As the window reads: an address the user adds reaches the calendars already read, and
// until they are read with it the earlier (busier) answer stands, not an empty one.
TEST_F(EdsCalendarSourceTest, AnAddressAddedLaterReachesCalendarsAlreadyRead)
{
    const std::string uid = calendarWith("Invited", declinedBy("later@example.com"));
    EdsCalendarSource window;
    window.setChosenCalendars(std::vector<std::string>{uid});
    std::vector<CalendarEvent> shown;
    window.observeChanges([&] { shown = window.events(from, to); });
    window.events(from, to);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shown.empty(); }, 10'000));
    EXPECT_EQ(declined(shown), "busy none") << "the user is not known among attendees";

    window.setAddresses({"Later@Example.com"});
    EXPECT_EQ(declined(window.events(from, to)), "busy none") << "meanwhile";
    ASSERT_TRUE(QTest::qWaitFor([&] { return declined(shown) == "busy declined"; }, 10'000))
        << "read again with the address";
    EXPECT_TRUE(window.isLastFetchComplete());

    // Taking it away never shows an answer read with it, which would hide busy time: not for
    // a window read only with it either.
    const Date later = at("2025-03-06T00:00:00Z");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return declined(window.events(from, later)) == "busy declined"; }, 10'000));
    window.setAddresses({});
    const std::string removed = declined(window.events(from, later));
    EXPECT_TRUE(removed == "0 found" || removed == "busy none") << removed;
}

// An account's own address is the user's: listed, and it finds the user's answer in that
// account's calendars though the user never gave it.
TEST_F(EdsCalendarSourceTest, TheAccountsOwnAddressesAreListedAndCount)
{
    const std::string uid = session->createAccountCalendar("Team", "Ana@Example.com");
    ASSERT_FALSE(uid.empty());
    ASSERT_EQ(session->addEvents(uid, declinedBy("ana@example.com")), "");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const auto own = source.accountAddresses();
            return std::find(own.begin(), own.end(), "Ana@Example.com") != own.end();
        },
        10'000));
    const auto own = source.accountAddresses();
    EXPECT_EQ(std::find(own.begin(), own.end(), "me@example.com"), own.end())
        << "the user's stored addresses are not the accounts'";

    source.setChosenCalendars(std::vector<std::string>{uid});
    EXPECT_EQ(declined(source.events(from, to)), "busy declined");
}

TEST_F(EdsCalendarSourceTest, BadCalendarsAndEventsGiveABoundedAnswerAndNameTheCalendar)
{
    const std::string broken = session->createCalendar("No Backend", "#ff0000", true, "nowhere");
    ASSERT_FALSE(broken.empty());
    calendarWith("Odd", R"(BEGIN:VCALENDAR
VERSION:2.0
BEGIN:VEVENT
UID:endless@test
DTSTART:20200101T140000Z
DTEND:20200101T150000Z
RRULE:FREQ=DAILY
SUMMARY:Endless
END:VEVENT
BEGIN:VEVENT
UID:martian@test
DTSTART;TZID=Mars/Olympus_Mons:20250305T100000
DTEND;TZID=Mars/Olympus_Mons:20250305T110000
SUMMARY:Martian
END:VEVENT
END:VCALENDAR
)");
    // As the model does: read again on every change.
    const Date march = at("2025-03-01T00:00:00Z");
    const Date marchEnd = at("2025-03-31T00:00:00Z");
    int rereads = 0;
    source.observeChanges([&] {
        ++rereads;
        source.events(march, marchEnd);
    });
    const auto events = source.events(march, marchEnd);
    EXPECT_EQ(titled(events, "Endless").size(), 30u) << "a rule without end, within the window";
    EXPECT_LE(titled(events, "Martian").size(), 1u);

    // The calendar that cannot open has its state, and the answer says it is incomplete.
    const auto states = source.lastFetchStates();
    const auto cannotOpen =
        std::find_if(states.begin(), states.end(),
                     [&](const CalendarState& state) { return state.calendarID == broken; });
    ASSERT_NE(cannotOpen, states.end());
    EXPECT_EQ(cannotOpen->kind, CalendarState::Kind::unreadable);
    EXPECT_EQ(cannotOpen->name.rfind("No Backend (", 0), 0u) << cannotOpen->name;
    EXPECT_FALSE(source.isLastFetchComplete());
    for (const SourceProblem& problem : source.lastFetchProblems())
        EXPECT_EQ(problem.message.find("Martian"), std::string::npos) << "never an event's title";
    for (const CalendarState& state : states)
        EXPECT_EQ(state.line(march).find("Martian"), std::string::npos);

    // A calendar that fails to open is read once more a little later; that read's answer, the
    // same as before, is not told again (the handler would read again, and so on).
    EXPECT_TRUE(QTest::qWaitFor([&] { return rereads > 0; }, 5000));
    QTest::qWait(1500);
    const int settled = rereads;
    QTest::qWait(2500);
    EXPECT_EQ(rereads, settled);
}

TEST_F(EdsCalendarSourceTest, ARegistryThatRestartsMidwayGivesABoundedAnswer)
{
    const std::string uid = calendarWith("Steady", oneEvent("Steady"));
    ASSERT_EQ(titled(source.events(from, to), "Steady").size(), 1u);

    ASSERT_EQ(session->killRegistry(), "");
    const auto started = std::chrono::steady_clock::now();
    source.calendars();
    source.events(from, to);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 2 * answerDeadline);
    // Once the bus has started it again, the calendar is listed and read as before.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return find(source.calendars(), uid) &&
                   titled(source.events(from, to), "Steady").size() == 1;
        },
        20'000));
}

// A bus that takes the connection and never answers: the registry costs the timeout once, and
// the fetch says it left the desktop's calendars out. In a process of its own, since GLib
// keeps the session bus it was waiting for.
TEST(EdsCalendarSourceHungTest, ARegistryThatNeverAnswersCostsTheTimeoutAndAWarning)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto run = [] {
        const test::SilentServer silent;
        const std::string address = "tcp:host=127.0.0.1,port=" + std::to_string(silent.port());
        ::setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);

        EdsCalendarSource source;
        source.setWaitForFetch(true);
        source.setAnswerTimeout(std::chrono::milliseconds(300));
        const auto started = std::chrono::steady_clock::now();
        const bool listed = !source.calendars().empty();
        const bool read =
            !source.events(at("2025-03-03T00:00:00Z"), at("2025-03-05T00:00:00Z")).empty();
        const auto took = std::chrono::steady_clock::now() - started;
        const auto states = source.lastFetchStates();
        std::fprintf(stderr, "took %lld ms, %zu states\n",
                     static_cast<long long>(
                         std::chrono::duration_cast<std::chrono::milliseconds>(took).count()),
                     states.size());
        const bool named = states.size() == 1 && states[0].kind == CalendarState::Kind::noAnswer &&
                           states[0].cause.find("did not answer") != std::string::npos;
        std::_Exit(!listed && !read && named && !source.isLastFetchComplete() &&
                           took < std::chrono::seconds(2)
                       ? 0
                       : 1);
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(0), "");
}

// Without a session bus there is no desktop store: nothing, and nothing to say about it.
TEST(EdsCalendarSourceAbsentTest, WithoutABusTheSourceIsSilentlyEmpty)
{
    const test::ScopedEnv bus("DBUS_SESSION_BUS_ADDRESS", std::nullopt);
    const test::ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
    EdsCalendarSource source;
    EXPECT_FALSE(source.hasAccess());
    EXPECT_TRUE(source.calendars().empty());
    EXPECT_TRUE(source.events(at("2025-03-03T00:00:00Z"), at("2025-03-05T00:00:00Z")).empty());
    EXPECT_TRUE(source.lastFetchProblems().empty());
    EXPECT_TRUE(source.isLastFetchComplete());
}

}  // namespace
}  // namespace nelvo
