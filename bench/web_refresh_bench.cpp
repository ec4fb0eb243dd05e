// A refresh of ten calendar addresses that have not changed: ten requests answered 304 by
// the tests' HTTPS server on 127.0.0.1. The "CPU" column is the window thread's own time (the
// network work runs on Qt's network thread). Budget: under 50 ms for all ten.
#include "app/web/ics_url_calendar_source.h"
#include "support/calendar_server.h"
#include "support/scoped_env.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <string>
#include <vector>

namespace {

using namespace nelvo;

std::string calendar(int number)
{
    std::string text =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nX-WR-CALNAME:Team " + std::to_string(number) + "\r\n";
    for (int day = 1; day <= 28; ++day) {
        const std::string date = "202503" + std::string(day < 10 ? "0" : "") + std::to_string(day);
        text += "BEGIN:VEVENT\r\nUID:" + std::to_string(number) + "-" + date +
                "\r\nSUMMARY:Meeting\r\nDTSTART:" + date +
                "T150000Z\r\nDURATION:PT1H\r\nEND:VEVENT\r\n";
    }
    return text + "END:VCALENDAR\r\n";
}

void BM_UnchangedRefreshOfTen(benchmark::State& state)
{
    static int argc = 1;
    static char name[] = "web_refresh_bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    test::TestCertificates certificates;
    test::ScopedEnv trust("SSL_CERT_FILE", certificates.bundle());
    test::TempFolder copies{"nelvo-bench-copies"};
    test::CalendarServer server(&certificates);
    std::vector<std::string> addresses;
    for (int i = 0; i < 10; ++i) {
        server.serve("team" + std::to_string(i) + ".ics", calendar(i));
        addresses.push_back(server.calendar("team" + std::to_string(i) + ".ics"));
    }
    IcsUrlCalendarSource source(addresses, {},
                                {.copyFolder = copies.path(),
                                 .timeout = std::chrono::seconds(10),
                                 .refreshInterval = std::chrono::minutes(15),
                                 .now = {}});
    source.waitForRefresh(std::chrono::seconds(10));  // the copies, once
    int changes = 0;
    source.observeChanges([&] { ++changes; });
    source.calendars();
    for (auto _ : state) {
        source.refresh();
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (!source.isRefreshing())
                loop.quit();
        });
        poll.start(1);
        loop.exec();
        benchmark::DoNotOptimize(changes);
    }
    if (changes != 0 || source.lastFetchStates().size() != 10)
        state.SkipWithError("the refresh did not find all ten unchanged");
}
BENCHMARK(BM_UnchangedRefreshOfTen)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
