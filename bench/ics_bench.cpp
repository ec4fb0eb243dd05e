// Reading a large iCalendar file and expanding a 30-day window, the way the model fetches.
//
// The calendar is written at start by the shared generator (../shared/tools/gen_ics.py beside
// the repository, or the script named by NELVO_GEN_ICS): "large" is about 10 MB, 200
// recurring series and 4,000 events. Budgets: a first read under 300 ms, a fetch of another
// window without re-reading the unchanged file under 30 ms (medians).
#include "app/ics_calendar_source.h"
#include "kit/core/date.h"
#include "kit/core/time_zone.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

using namespace nelvo;

// Generated once per process; empty with a reason when the generator cannot run.
struct GeneratedCalendar {
    std::unique_ptr<QTemporaryDir> dir;
    std::string path;
    std::string error;
};

const GeneratedCalendar& largeCalendar()
{
    static const GeneratedCalendar calendar = [] {
        GeneratedCalendar out;
        std::string script;
        if (const char* env = std::getenv("NELVO_GEN_ICS"); env && *env) {
            script = env;
        } else {
            // shared/ lies beside the repository, or beside the folder of work trees.
            const auto repository = std::filesystem::path(__FILE__).parent_path().parent_path();
            for (const auto& up : {repository.parent_path(), repository.parent_path().parent_path()}) {
                script = (up / "shared" / "tools" / "gen_ics.py").string();
                if (std::filesystem::exists(script))
                    break;
            }
        }
        if (!std::filesystem::exists(script)) {
            out.error = "no calendar generator at " + script + " (set NELVO_GEN_ICS)";
            return out;
        }
        out.dir = std::make_unique<QTemporaryDir>();
        out.path = QDir(out.dir->path()).filePath("large.ics").toStdString();
        QProcess gen;
        // Debian's interpreter, which has Debian's python3-dateutil; another python3 may not.
        const QString python = QFile::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
        gen.start(python, {QString::fromStdString(script), "--size", "large", "-o",
                              QString::fromStdString(out.path)});
        if (!gen.waitForFinished(120'000) || gen.exitCode() != 0) {
            out.error = "the calendar generator failed: " +
                        gen.readAllStandardError().trimmed().toStdString();
            out.path.clear();
        }
        return out;
    }();
    return calendar;
}

// The generated events span five years from 2021-07-05; these windows lie inside.
const Date windowStart = *Date::fromIso8601("2024-03-04T05:00:00Z");
const Date otherStart = *Date::fromIso8601("2024-04-15T04:00:00Z");
constexpr double thirtyDays = 30 * 86400.0;

void BM_ReadAndExpand30Days(benchmark::State& state)
{
    const auto& calendar = largeCalendar();
    if (calendar.path.empty()) {
        state.SkipWithError(calendar.error.c_str());
        return;
    }
    std::size_t count = 0;
    for (auto _ : state) {
        IcsCalendarSource source({calendar.path}, {"jordan.avery@example.com"});
        source.setPrimaryZone(*TimeZone::named("America/New_York"));
        const auto events = source.events(windowStart, windowStart.addingSeconds(thirtyDays));
        count = events.size();
        benchmark::DoNotOptimize(events.data());
    }
    state.counters["occurrences"] = static_cast<double>(count);
}
BENCHMARK(BM_ReadAndExpand30Days)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExpandAnotherWindowWithoutRereading(benchmark::State& state)
{
    const auto& calendar = largeCalendar();
    if (calendar.path.empty()) {
        state.SkipWithError(calendar.error.c_str());
        return;
    }
    IcsCalendarSource source({calendar.path}, {"jordan.avery@example.com"});
    source.setPrimaryZone(*TimeZone::named("America/New_York"));
    source.events(windowStart, windowStart.addingSeconds(thirtyDays));  // the first read
    bool other = false;
    std::size_t count = 0;
    for (auto _ : state) {
        const Date from = other ? otherStart : windowStart;
        other = !other;
        const auto events = source.events(from, from.addingSeconds(thirtyDays));
        count = events.size();
        benchmark::DoNotOptimize(events.data());
    }
    state.counters["occurrences"] = static_cast<double>(count);
}
BENCHMARK(BM_ExpandAnotherWindowWithoutRereading)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
