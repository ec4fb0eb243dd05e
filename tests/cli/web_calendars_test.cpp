// Calendar addresses through the built `nelvo` binary: added, listed, printed, offline and
// removed, against the tests' HTTPS server on 127.0.0.1; the address's path never shown.
#include "cli/cli_sandbox.h"
#include "support/calendar_server.h"
#include "support/scoped_env.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace nelvo {
namespace {

namespace fs = std::filesystem;

using test::Outcome;

const std::string marker = "q7Zsecretmarker";

std::string team(const std::string& title)
{
    // A meeting over the whole working day of 2025-03-03 in New York.
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nX-WR-CALNAME:Team\r\nBEGIN:VEVENT\r\nUID:" + title +
           "\r\nSUMMARY:" + title +
           "\r\nDTSTART:20250303T120000Z\r\nDTEND:20250303T230000Z\r\nEND:VEVENT\r\nEND:"
           "VCALENDAR\r\n";
}

class WebCalendarsCommandTest : public testing::Test {
protected:
    static void SetUpTestSuite() { s_certificates = new test::TestCertificates; }
    static void TearDownTestSuite() { delete s_certificates; }

    Outcome run(std::vector<std::string> arguments)
    {
        const Outcome outcome = m_sandbox.run(std::move(arguments));
        m_shown += outcome.out + outcome.err;
        return outcome;
    }

    Outcome print()
    {
        return run({"print", "--now", "2025-03-03T08:00:00-05:00", "--zone", "America/New_York",
                    "--days", "1"});
    }

    fs::path defaults() const { return m_sandbox.home() / ".config/nelvo/defaults.json"; }

    // Chooses an address by writing the defaults as an older run would have left them.
    void choose(const std::vector<std::string>& addresses) const
    {
        fs::create_directories(defaults().parent_path());
        std::ofstream file(defaults());
        file << R"({"calendars.desktop": [], "calendars.web": [)";
        for (std::size_t i = 0; i < addresses.size(); ++i)
            file << (i ? ", \"" : "\"") << addresses[i] << "\"";
        file << "]}\n";
    }

    static inline test::TestCertificates* s_certificates = nullptr;
    test::ScopedEnv m_trust{"SSL_CERT_FILE", s_certificates->bundle()};
    test::Sandbox m_sandbox;
    std::string m_shown;  // every output of every run
};

TEST_F(WebCalendarsCommandTest, AddedAddressIsReadListedKeptAndRemovedWithoutItsPath)
{
    test::CalendarServer server(s_certificates);
    choose({});
    const Outcome nothing = print();
    server.serve(marker + ".ics", team("Planning"));
    std::string webcal = server.calendar(marker + ".ics");
    webcal.replace(0, 5, "webcal");

    const Outcome added = run({"calendars", "add", webcal});
    EXPECT_EQ(added.status, 0) << added.err;
    EXPECT_EQ(added.out, "Added Team (127.0.0.1)\n");
    struct stat st {};
    ::stat(defaults().c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    const Outcome listed = run({"calendars", "list"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_NE(listed.out.find("Team\t127.0.0.1\t#8E8E93\tcounts\tweb\tweb:"), std::string::npos)
        << listed.out;

    // The meeting fills the day; the second run costs the server a 304.
    const Outcome busy = print();
    EXPECT_EQ(busy.status, 0) << busy.err;
    EXPECT_EQ(busy.err, "");
    EXPECT_NE(busy.out, nothing.out);
    EXPECT_TRUE(server.hasLogged(" 304\n")) << server.log();

    // Offline: the saved copy is used, with a warning that says how old it is.
    server.stop();
    const Outcome offline = print();
    EXPECT_EQ(offline.status, 0);
    EXPECT_EQ(offline.out, busy.out);
    EXPECT_EQ(offline.err, "\"Team (127.0.0.1)\" is not reachable (the server refused the "
                           "connection); its events as of just now are used\n");

    const Outcome removed = run({"calendars", "remove", webcal});
    EXPECT_EQ(removed.status, 0) << removed.err;
    EXPECT_EQ(removed.out, "Removed Team (127.0.0.1)\n");
    EXPECT_TRUE(fs::is_empty(m_sandbox.home() / ".cache/nelvo"));
    EXPECT_EQ(print().out, nothing.out);

    EXPECT_EQ(m_shown.find(marker), std::string::npos) << m_shown;
}

TEST_F(WebCalendarsCommandTest, CalendarsThatCannotBeReadStopPrintAndAreNotAdded)
{
    test::CalendarServer server(s_certificates);
    // Never fetched, and its server gone: nothing stands in for its busy time.
    choose({server.address("/cal/" + marker + ".ics")});
    const Outcome missing = print();
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "cannot read calendar \"127.0.0.1\": the server has no calendar at "
                           "this address (it may have been removed)\n");

    // A server that takes the connection and never answers costs the bound, then stops print.
    test::SilentServer silent;
    choose({silent.address()});
    const Outcome hung = print();
    EXPECT_EQ(hung.status, 1);
    EXPECT_EQ(hung.err, "\"127.0.0.1\" did not answer in 5 s; it is left out\n");

    const Outcome refused = run({"calendars", "add", server.address("/refused?" + marker)});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "cannot add \"127.0.0.1\": the server refused the address (the "
                           "address may have been reset)\n");
    const Outcome plain = run({"calendars", "add", "http://calendar.example.com/" + marker});
    EXPECT_EQ(plain.status, 1);
    EXPECT_EQ(plain.err, "cannot add the address: an http:// address would send the calendar "
                         "unencrypted; use its https:// address\n");
    EXPECT_EQ(m_shown.find(marker), std::string::npos) << m_shown;
}

}  // namespace
}  // namespace nelvo
