// Reading 30 days from a desktop calendar (Evolution Data Server) holding the medium corpus.
//
// A private EDS is started on a bus of its own (as the tests do), the shared generator
// (../shared/tools/gen_ics.py, or NELVO_GEN_ICS) writes the medium calendar, which is loaded
// into one local EDS calendar. Budget: a fetch after the first under 500 ms (median).
// BM_EdsExpansionOnly is what EDS itself costs for the same window: the D-Bus transfer of
// the events and libecal's expansion, with nothing mapped.
#include "app/eds/eds_calendar_source.h"
#include "app/eds/eds_session.h"
#include "kit/core/date.h"
#include "kit/core/time_zone.h"

#include <benchmark/benchmark.h>

#include <libecal/libecal.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

using namespace nelvo;

constexpr const char* owner = "jordan.avery@example.com";
const Date windowStart = *Date::fromIso8601("2024-03-04T05:00:00Z");
const Date windowEnd = windowStart.addingSeconds(30 * 86400.0);

struct Loaded {
    std::string calendarUid;
    std::string error;
};

const Loaded& mediumCalendar()
{
    static const Loaded loaded = [] {
        Loaded out;
        std::string whyNot;
        test::EdsSession* session = test::EdsSession::get(whyNot);
        if (!session) {
            out.error = "Evolution Data Server cannot run here: " + whyNot;
            return out;
        }
        std::string script;
        if (const char* env = std::getenv("NELVO_GEN_ICS"); env && *env) {
            script = env;
        } else {
            const auto repository = std::filesystem::path(NELVO_SOURCE_DIR);
            for (const auto& up :
                 {repository.parent_path(), repository.parent_path().parent_path()}) {
                script = (up / "shared" / "tools" / "gen_ics.py").string();
                if (std::filesystem::exists(script))
                    break;
            }
        }
        if (!std::filesystem::exists(script)) {
            out.error = "no calendar generator at " + script + " (set NELVO_GEN_ICS)";
            return out;
        }
        QTemporaryDir dir;
        const QString path = dir.filePath("medium.ics");
        QProcess gen;
        gen.start(
            QFile::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3",
            {QString::fromStdString(script), "--size", "medium", "--owner", owner, "-o", path});
        if (!gen.waitForFinished(120'000) || gen.exitCode() != 0) {
            out.error = "the calendar generator failed";
            return out;
        }
        std::ifstream in(path.toStdString());
        const std::string text((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        out.calendarUid = session->createCalendar("Medium", "#3b82f6");
        if (out.calendarUid.empty()) {
            out.error = "cannot create an EDS calendar";
            return out;
        }
        if (std::string problem = session->addEvents(out.calendarUid, text); !problem.empty()) {
            out.error = "cannot load the calendar: " + problem;
            out.calendarUid.clear();
        }
        return out;
    }();
    return loaded;
}

void BM_EdsFetch30Days(benchmark::State& state)
{
    const Loaded& calendar = mediumCalendar();
    if (calendar.calendarUid.empty()) {
        state.SkipWithError(calendar.error.c_str());
        return;
    }
    EdsCalendarSource source({owner});
    source.setPrimaryZone(*TimeZone::named("America/New_York"));
    source.setAnswerTimeout(std::chrono::seconds(30));
    source.setWaitForFetch(true);
    source.events(windowStart, windowEnd);  // the first fetch opens the calendars
    std::size_t count = 0;
    double shift = 0;
    for (auto _ : state) {
        // A window of its own each time: an answered window is not fetched again.
        shift += 1;
        const auto events = source.events(windowStart, windowEnd.addingSeconds(shift));
        count = events.size();
        benchmark::DoNotOptimize(events.data());
    }
    state.counters["occurrences"] = static_cast<double>(count);
}
BENCHMARK(BM_EdsFetch30Days)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EdsFirstFetch30Days(benchmark::State& state)
{
    const Loaded& calendar = mediumCalendar();
    if (calendar.calendarUid.empty()) {
        state.SkipWithError(calendar.error.c_str());
        return;
    }
    for (auto _ : state) {
        EdsCalendarSource source({owner});
        source.setPrimaryZone(*TimeZone::named("America/New_York"));
        source.setAnswerTimeout(std::chrono::seconds(30));
        source.setWaitForFetch(true);
        const auto events = source.events(windowStart, windowEnd);
        benchmark::DoNotOptimize(events.data());
    }
}
BENCHMARK(BM_EdsFirstFetch30Days)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

gboolean countInstance(ICalComponent*, ICalTime*, ICalTime*, gpointer data, GCancellable*, GError**)
{
    ++*static_cast<std::size_t*>(data);
    return TRUE;
}

void BM_EdsExpansionOnly(benchmark::State& state)
{
    const Loaded& calendar = mediumCalendar();
    if (calendar.calendarUid.empty()) {
        state.SkipWithError(calendar.error.c_str());
        return;
    }
    ESourceRegistry* registry = e_source_registry_new_sync(nullptr, nullptr);
    ESource* source =
        registry ? e_source_registry_ref_source(registry, calendar.calendarUid.c_str()) : nullptr;
    EClient* client = source ? e_cal_client_connect_sync(source, E_CAL_CLIENT_SOURCE_TYPE_EVENTS,
                                                         static_cast<guint32>(-1), nullptr, nullptr)
                             : nullptr;
    if (!client) {
        state.SkipWithError("cannot open the EDS calendar");
    } else {
        e_cal_client_set_default_timezone(E_CAL_CLIENT(client),
                                          i_cal_timezone_get_builtin_timezone("America/New_York"));
        std::size_t count = 0;
        for (auto _ : state) {
            count = 0;
            e_cal_client_generate_instances_sync(
                E_CAL_CLIENT(client), static_cast<time_t>(windowStart.unixSeconds()),
                static_cast<time_t>(windowEnd.unixSeconds()), nullptr, countInstance, &count);
        }
        state.counters["occurrences"] = static_cast<double>(count);
        g_object_unref(client);
    }
    if (source)
        g_object_unref(source);
    if (registry)
        g_object_unref(registry);
}
BENCHMARK(BM_EdsExpansionOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
