// The same calendar read from the desktop's store and from a file gives the same busy time.
#include "app/eds/eds_calendar_source.h"
#include "app/eds/eds_session.h"
#include "app/ics_calendar_source.h"
#include "kit/model/busy_classifier.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>
#include <utility>

namespace nelvo {
namespace {

using test::EdsSession;

constexpr const char* owner = "jordan.avery@example.com";

// Under the sanitizers the medium calendar takes minutes to store and read; the small one
// has the same shapes, fewer of each.
#if defined(__SANITIZE_ADDRESS__)
constexpr const char* corpusSize = "small";
constexpr std::size_t fewestBusy = 20;
#else
constexpr const char* corpusSize = "medium";
constexpr std::size_t fewestBusy = 50;
#endif

// The shared generator of realistic calendars (beside the repository, or NELVO_GEN_ICS);
// empty, with the places looked at in `looked`, when there is none.
std::string generatorScript(std::string& looked)
{
    if (const char* env = std::getenv("NELVO_GEN_ICS"); env && *env)
        return env;
    const auto repository = std::filesystem::path(NELVO_TEST_DATA).parent_path().parent_path();
    for (const auto& up : {repository.parent_path(), repository.parent_path().parent_path()}) {
        const auto script = up / "shared" / "tools" / "gen_ics.py";
        if (std::filesystem::exists(script))
            return script.string();
        looked += (looked.empty() ? "" : ", ") + script.string();
    }
    return {};
}

using Interval = std::pair<double, double>;  // start, end

std::vector<Interval> busy(const std::vector<CalendarEvent>& events)
{
    std::vector<Interval> out;
    for (const CalendarEvent& e : events)
        if (BusyClassifier::countsAsBusy(e, {e.calendarID}, {}))
            out.push_back({e.start.seconds, e.end.seconds});
    std::sort(out.begin(), out.end());
    return out;
}

// The intervals only one of the two gave.
std::string describe(const std::vector<Interval>& desktop, const std::vector<Interval>& file)
{
    std::ostringstream out;
    for (const auto& [name, mine, theirs] :
         {std::tuple{"the desktop", &desktop, &file}, std::tuple{"the file", &file, &desktop}}) {
        std::vector<Interval> only;
        std::set_difference(mine->begin(), mine->end(), theirs->begin(), theirs->end(),
                            std::back_inserter(only));
        for (const Interval& i : only)
            out << "only from " << name << ": " << Date{i.first}.iso8601() << " - "
                << Date{i.second}.iso8601() << "\n";
    }
    return out.str();
}

TEST(EdsCorpusTest, TheDesktopAndTheFileGiveTheSameBusyTimeInTwoZones)
{
    std::string looked;
    const std::string script = generatorScript(looked);
    if (script.empty())
        GTEST_SKIP() << "no calendar generator: none at " << looked
                     << "; set NELVO_GEN_ICS to its path";
    std::string whyNot;
    EdsSession* session = EdsSession::get(whyNot);
    if (!session)
        GTEST_SKIP() << "Evolution Data Server cannot run here: " << whyNot;

    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("corpus.ics");
    QProcess gen;
    // Debian's interpreter, which has Debian's python3-dateutil.
    gen.start(QFile::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3",
              {QString::fromStdString(script), "--size", corpusSize, "--owner", owner, "-o", path});
    ASSERT_TRUE(gen.waitForFinished(120'000) && gen.exitCode() == 0)
        << gen.readAllStandardError().toStdString();
    std::ifstream in(path.toStdString());
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    const std::string uid = session->createCalendar("Medium", "#123456");
    ASSERT_EQ(session->addEvents(uid, text), "");

    EdsCalendarSource desktop({owner});
    desktop.setWaitForFetch(true);
    desktop.setAnswerTimeout(std::chrono::seconds(30));  // the first read of a large calendar
    desktop.setChosenCalendars(std::vector<std::string>{uid});
    IcsCalendarSource file({path.toStdString()}, {owner});
    // Inside the generated five years from 2021-07-05.
    const Date from = *Date::fromIso8601("2024-03-04T00:00:00Z");
    const Date to = from.addingSeconds(30 * 86400.0);
    for (const char* zoneId : {"America/New_York", "Asia/Kolkata"}) {
        SCOPED_TRACE(zoneId);
        const TimeZone zone = *TimeZone::named(zoneId);
        desktop.setPrimaryZone(zone);
        file.setPrimaryZone(zone);
        const auto fromDesktop = desktop.events(from, to);
        auto fromFile = file.events(from, to);
        EXPECT_TRUE(desktop.isLastFetchComplete());
        for (const auto& problem : desktop.lastFetchProblems())
            ADD_FAILURE() << problem.message;
        const auto a = busy(fromDesktop);
        const auto b = busy(fromFile);
        EXPECT_GT(b.size(), fewestBusy);
        EXPECT_EQ(a, b) << describe(a, b);
    }
    // The other tests read every calendar of the shared store.
    EXPECT_EQ(session->removeCalendar(uid), "");
}

}  // namespace
}  // namespace nelvo
