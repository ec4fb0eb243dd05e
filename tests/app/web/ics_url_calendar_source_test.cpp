#include "app/web/calendar_address.h"
#include "app/web/ics_url_calendar_source.h"

#include "support/calendar_server.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"
#include "support/time_helpers.h"

#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

namespace nelvo {
namespace {

using test::at;
using Kind = CalendarState::Kind;
using namespace std::chrono_literals;

std::string calendar(const std::string& name, const std::string& title)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nX-WR-CALNAME:" + name +
           "\r\nBEGIN:VEVENT\r\nUID:" + title + "\r\nSUMMARY:" + title +
           "\r\nDTSTART:20250310T150000Z\r\nDURATION:PT1H\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

class IcsUrlCalendarSourceTest : public testing::Test {
protected:
    static void SetUpTestSuite() { s_certificates = new test::TestCertificates; }
    static void TearDownTestSuite() { delete s_certificates; }

    std::unique_ptr<IcsUrlCalendarSource> source(std::vector<std::string> addresses,
                                                 std::chrono::milliseconds timeout = 10s)
    {
        IcsUrlCalendarSource::Options options{.copyFolder = m_copies.path(),
                                              .timeout = timeout,
                                              .refreshInterval = 15min,
                                              .now = [this] { return m_now; }};
        return std::make_unique<IcsUrlCalendarSource>(std::move(addresses),
                                                      std::vector<std::string>{}, options);
    }

    static std::vector<CalendarEvent> march(IcsUrlCalendarSource& s)
    {
        return s.events(at("2025-03-01T00:00:00Z"), at("2025-04-01T00:00:00Z"));
    }

    static inline test::TestCertificates* s_certificates = nullptr;
    test::ScopedEnv m_trust{"SSL_CERT_FILE", s_certificates->bundle()};
    test::TempFolder m_copies{"nelvo-copies"};
    Date m_now = at("2025-03-03T09:00:00Z");
};

TEST_F(IcsUrlCalendarSourceTest, FetchesKeepsACopyAsksAgainOnlyForChangesAndUsesTheCopyOffline)
{
    test::CalendarServer server(s_certificates);
    server.serve("team.ics", calendar("Team", "Planning"));
    auto s = source({server.calendar("team.ics")});
    int changes = 0;
    s->observeChanges([&] { ++changes; });

    // In the window, the first read answers from what is there (nothing yet) and starts the
    // fetch, which tells when it has brought something.
    EXPECT_TRUE(march(*s).empty());
    EXPECT_EQ(s->lastFetchStates().at(0).kind, Kind::firstSync);
    EXPECT_TRUE(s->isRefreshing());
    ASSERT_TRUE(QTest::qWaitFor([&] { return changes == 1; }, 10'000));
    auto events = march(*s);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].title, "Planning");
    EXPECT_EQ(s->lastFetchStates().at(0).kind, Kind::upToDate);
    EXPECT_TRUE(s->isLastFetchComplete());
    // The copy, used offline below, is the user's alone.
    for (const auto& file : std::filesystem::directory_iterator(m_copies.path())) {
        struct stat st {};
        ::stat(file.path().c_str(), &st);
        EXPECT_EQ(st.st_mode & 0777, 0600u) << file.path();
    }

    // Unchanged: the server answers 304, the calendar stays and nobody is told.
    s->waitForRefresh(10s);
    QCoreApplication::processEvents();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(march(*s).size(), 1u);
    EXPECT_TRUE(server.hasLogged("GET /cal/team.ics 304"));

    // Changed: the new calendar replaces the old, and the window is told.
    server.serve("team.ics", calendar("Team", "Review"));
    s->waitForRefresh(10s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return changes == 2; }, 10'000));
    events = march(*s);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].title, "Review");
    // An address chosen while the window is open is fetched at its first read.
    server.serve("home.ics", calendar("Home", "Dentist"));
    s->setCalendarAddresses({server.calendar("team.ics"), server.calendar("home.ics")});
    EXPECT_EQ(march(*s).size(), 1u);
    EXPECT_EQ(s->lastFetchStates().at(1).kind, Kind::firstSync);
    ASSERT_TRUE(QTest::qWaitFor([&] { return changes == 3; }, 10'000));
    EXPECT_EQ(march(*s).size(), 2u);

    // The server gone, the next run two hours later: the copy stands in, and says how old it is.
    server.stop();
    m_now = Date{m_now.seconds + 2 * 3600};
    auto later = source({server.calendar("team.ics"), server.calendar("never-fetched.ics")});
    later->waitForRefresh(10s);
    EXPECT_EQ(march(*later).size(), 1u);
    const auto states = later->lastFetchStates();
    ASSERT_EQ(states.size(), 2u);
    EXPECT_EQ(states[0].kind, Kind::savedCopy);
    EXPECT_EQ(states[0].asOf->seconds, m_now.seconds - 2 * 3600);
    EXPECT_NE(states[0].cause.find("refused the connection"), std::string::npos);
    EXPECT_EQ(states[1].kind, Kind::unreadable);
    EXPECT_FALSE(later->isLastFetchComplete());
}

TEST_F(IcsUrlCalendarSourceTest, NamesEachFailureWithoutTheAddress)
{
    test::CalendarServer server(s_certificates);
    test::CalendarServer otherName(s_certificates, "other");
    otherName.serve("team.ics", calendar("Team", "Planning"));
    test::SilentServer silent;
    struct Case {
        std::string address;
        Kind kind;
        std::string cause;
    };
    const std::vector<Case> cases{
        {server.address("/refused"), Kind::unreadable, "the address may have been reset"},
        {server.address("/missing"), Kind::unreadable, "no calendar at this address"},
        {server.address("/loop"), Kind::unreadable, "redirected more than 5 times"},
        {server.address("/huge"), Kind::unreadable, "larger than 20 MB"},
        {server.address("/page"), Kind::unreadable, "not a calendar (the server sent a web page)"},
        {otherName.calendar("team.ics"), Kind::unreadable, "certificate was refused"},
        {silent.address(), Kind::noAnswer, "did not answer in 1 s"},
    };
    // The server that never answers is waited for 1 s in a fetch of its own, so that a slow
    // machine does not leave the others unanswered too.
    std::vector<std::string> addresses;
    for (const Case& c : cases)
        if (c.address != silent.address())
            addresses.push_back(c.address);
    auto s = source(addresses, 30s);
    s->waitForRefresh(30s);
    EXPECT_TRUE(march(*s).empty());
    auto states = s->lastFetchStates();
    EXPECT_FALSE(s->isLastFetchComplete());
    s = source({silent.address()}, 10s);
    s->waitForRefresh(1s);
    EXPECT_TRUE(march(*s).empty());
    const auto silentStates = s->lastFetchStates();
    states.insert(states.end(), silentStates.begin(), silentStates.end());
    ASSERT_EQ(states.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].address);
        EXPECT_EQ(states[i].kind, cases[i].kind);
        EXPECT_NE(states[i].cause.find(cases[i].cause), std::string::npos) << states[i].cause;
        EXPECT_EQ(states[i].name, "127.0.0.1");
    }
    EXPECT_FALSE(s->isLastFetchComplete());
}

TEST_F(IcsUrlCalendarSourceTest, NeverShowsTheSecretPath)
{
    const std::string marker = "q7Zsecretmarker";
    test::CalendarServer server(s_certificates);
    server.serve(marker + ".ics", calendar("Team", "Planning") + "BEGIN:VEVENT\r\nbroken");
    const std::string found = server.calendar(marker + ".ics");
    const std::string missing = server.calendar(marker + "-gone.ics");
    auto s = source({found, missing});
    s->waitForRefresh(10s);
    std::string shown;
    for (const CalendarInfo& info : s->calendars())
        shown += info.id + info.title + info.accountTitle + "\n";
    march(*s);
    for (const CalendarState& state : s->lastFetchStates())
        shown += state.calendarID + state.name + state.line(m_now) + state.cause + "\n";
    for (const SourceProblem& problem : s->lastFetchProblems())
        shown += problem.path + problem.message + "\n";
    for (const auto& file : std::filesystem::directory_iterator(m_copies.path()))
        shown += file.path().string() + "\n";
    EXPECT_NE(shown.find("Team (127.0.0.1)"), std::string::npos) << shown;
    EXPECT_EQ(shown.find(marker), std::string::npos) << shown;
}

TEST(CalendarAddressTest, TakesOnlyEncryptedAddressesAndHidesThem)
{
    EXPECT_EQ(*CalendarAddress::normalized(" webcal://calendar.example.com/a/b.ics ").value,
              "https://calendar.example.com/a/b.ics");
    EXPECT_EQ(*CalendarAddress::normalized("http://127.0.0.1:8080/x.ics").value,
              "http://127.0.0.1:8080/x.ics");
    for (const char* refused : {"http://calendar.example.com/b.ics", "ftp://example.com/b.ics",
                                "https://ana:pw@example.com/b.ics", "https:///b.ics"}) {
        const auto checked = CalendarAddress::normalized(refused);
        EXPECT_FALSE(checked) << refused;
        EXPECT_EQ(checked.error.find("example"), std::string::npos) << checked.error;
    }
    EXPECT_TRUE(CalendarAddress::looksLikeAddress("WEBCAL://x"));
    EXPECT_FALSE(CalendarAddress::looksLikeAddress("/home/ana/https.ics"));
    const std::string address = "https://calendar.example.com/private-abc/basic.ics";
    EXPECT_EQ(CalendarAddress::host(address), "calendar.example.com");
    EXPECT_EQ(CalendarAddress::calendarID(address).find("private"), std::string::npos);
    EXPECT_NE(CalendarAddress::calendarID(address),
              CalendarAddress::calendarID(address + "?other"));
}

}  // namespace
}  // namespace nelvo
