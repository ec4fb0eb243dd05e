// Reading a large iCalendar file and expanding a 30-day window, the way the model fetches;
// and small hostile files, which must cost little whatever their rules (budget: 50 ms each).
//
// The calendar is written at start by the generator below, the same bytes on every run:
// about 9 MB, 200 recurring series and 4,000 single events over five years from
// 2021-07-05, in the shapes real producers write. Budgets: a first read under 300 ms, a
// fetch of another window without re-reading the unchanged file under 30 ms (medians).
#include "app/ics_calendar_source.h"
#include "app/ics_document.h"
#include "kit/core/civil.h"
#include "kit/core/date.h"
#include "kit/core/time_zone.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

namespace {

using namespace nelvo;

// A busy professional's calendar, deterministic: Google-style events in IANA zones,
// Outlook-style ones in Windows zones with their VTIMEZONEs and HTML bodies, floating
// personal events, UTC booking-tool events, all-day and multi-day events, and recurring
// series (daily, weekly, monthly, yearly; COUNT, UNTIL, INTERVAL, BYDAY, BYMONTHDAY,
// BYSETPOS) with EXDATEs and moved, cancelled and declined occurrences. Lines are folded
// at 75 octets and end in CRLF.
class CalendarGenerator {
public:
    std::string generate()
    {
        line("BEGIN:VCALENDAR");
        line("VERSION:2.0");
        line("PRODID:-//Nelvo bench//Generated calendar//EN");
        line("X-WR-CALNAME:Jordan Avery");
        timezones();
        for (int i = 0; i < 200; ++i)
            series(i);
        for (int i = 0; i < 4000; ++i)
            single(i);
        line("END:VCALENDAR");
        return std::move(m_out);
    }

private:
    // A content line, folded at 75 octets.
    void line(const std::string& text)
    {
        std::size_t pos = 0;
        bool first = true;
        while (pos < text.size() || first) {
            const std::size_t room = first ? 75 : 74;
            std::size_t n = std::min(room, text.size() - pos);
            while (n > 0 && pos + n < text.size() &&
                   (static_cast<unsigned char>(text[pos + n]) & 0xC0) == 0x80)
                --n;  // never inside a UTF-8 sequence
            m_out += first ? "" : " ";
            m_out.append(text, pos, n);
            m_out += "\r\n";
            pos += n;
            first = false;
        }
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    // Day `n` after 2021-07-05 as "YYYYMMDD".
    static std::string day(int n)
    {
        const auto ymd = Civil::civilFromDays(Civil::daysFromCivil(2021, 7, 5) + n);
        char text[48];
        std::snprintf(text, sizeof text, "%04d%02d%02d", static_cast<int>(ymd.year), ymd.month,
                      ymd.day);
        return text;
    }

    static std::string at(int n, int minutes)
    {
        char text[32];
        std::snprintf(text, sizeof text, "T%02d%02d00", minutes / 60 % 24, minutes % 60);
        return day(n) + text;
    }

    void timezones()
    {
        const char* zones[][3] = {{"America/New_York", "-0500", "-0400"},
                                  {"Europe/Berlin", "+0100", "+0200"},
                                  {"W. Europe Standard Time", "+0100", "+0200"},
                                  {"Pacific Standard Time", "-0800", "-0700"}};
        for (const auto& z : zones) {
            const bool isEurope = z[1][0] == '+';
            line("BEGIN:VTIMEZONE");
            line(std::string("TZID:") + z[0]);
            line("BEGIN:STANDARD");
            line("DTSTART:16010101T020000");
            line(std::string("TZOFFSETFROM:") + z[2]);
            line(std::string("TZOFFSETTO:") + z[1]);
            line(isEurope ? "RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=10"
                          : "RRULE:FREQ=YEARLY;BYDAY=1SU;BYMONTH=11");
            line("END:STANDARD");
            line("BEGIN:DAYLIGHT");
            line("DTSTART:16010101T020000");
            line(std::string("TZOFFSETFROM:") + z[1]);
            line(std::string("TZOFFSETTO:") + z[2]);
            line(isEurope ? "RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=3"
                          : "RRULE:FREQ=YEARLY;BYDAY=2SU;BYMONTH=3");
            line("END:DAYLIGHT");
            line("END:VTIMEZONE");
        }
    }

    // DTSTART and DTEND in one of the producers' styles, starting at 07:00 to 18:00.
    void times(int dayNumber, int minutes, int length)
    {
        static const char* const tzids[] = {"America/New_York", "Europe/Berlin",
                                            "W. Europe Standard Time", "Pacific Standard Time",
                                            "Asia/Kolkata"};
        switch (pick(0, 7)) {
        case 0:
            line("DTSTART:" + at(dayNumber, minutes));  // floating
            line("DTEND:" + at(dayNumber, minutes + length));
            return;
        case 1:
            line("DTSTART:" + at(dayNumber, minutes) + "Z");
            line("DURATION:PT" + std::to_string(length) + "M");
            return;
        default: {
            const std::string tzid = tzids[pick(0, 4)];
            line("DTSTART;TZID=" + tzid + ":" + at(dayNumber, minutes));
            line("DTEND;TZID=" + tzid + ":" + at(dayNumber, minutes + length));
        }
        }
    }

    void common(const std::string& uid, const std::string& title)
    {
        line("UID:" + uid);
        line("DTSTAMP:20250601T120000Z");
        line("SUMMARY:" + title);
        std::string description = "DESCRIPTION:Agenda for " + title + "\\n";
        for (int i = 0, n = pick(2, 12); i < n; ++i)
            description +=
                "- item " + std::to_string(i) + ": review the notes\\, decide and follow up\\n";
        line(description);
        if (pick(0, 1))
            line("X-ALT-DESC;FMTTYPE=text/html:<html><body><p>" +
                 std::string(static_cast<std::size_t>(pick(1400, 2800)), 'x') +
                 "</p></body></html>");
        static const char* const answers[] = {"ACCEPTED", "DECLINED", "TENTATIVE", "NEEDS-ACTION"};
        line("ORGANIZER;CN=Organizer:mailto:organizer@example.com");
        for (int i = 0, n = pick(1, 8); i < n; ++i)
            line("ATTENDEE;CN=Guest " + std::to_string(i) + ";PARTSTAT=ACCEPTED:mailto:guest" +
                 std::to_string(i) + "@example.com");
        line(std::string("ATTENDEE;CN=Jordan Avery;PARTSTAT=") + answers[pick(0, 3)] +
             ":mailto:jordan.avery@example.com");
        if (pick(0, 9) == 0)
            line("TRANSP:TRANSPARENT");
        line("BEGIN:VALARM");
        line("ACTION:DISPLAY");
        line("TRIGGER:-PT10M");
        line("END:VALARM");
    }

    void series(int i)
    {
        static const char* const rules[] = {"FREQ=DAILY;BYDAY=MO,TU,WE,TH,FR",
                                            "FREQ=WEEKLY;BYDAY=MO,WE",
                                            "FREQ=WEEKLY;INTERVAL=2;BYDAY=TU",
                                            "FREQ=MONTHLY;BYDAY=2TH",
                                            "FREQ=MONTHLY;BYMONTHDAY=15",
                                            "FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1",
                                            "FREQ=YEARLY",
                                            "FREQ=WEEKLY;WKST=SU;BYDAY=FR"};
        const std::string uid = "series-" + std::to_string(i) + "@bench.example";
        const int first = pick(0, 1500);
        const int minutes = pick(28, 72) * 15;
        line("BEGIN:VEVENT");
        common(uid, "Series " + std::to_string(i));
        times(first, minutes, 30);
        std::string rule = std::string("RRULE:") + rules[pick(0, 7)];
        if (pick(0, 2) == 0)
            rule += ";COUNT=" + std::to_string(pick(5, 400));
        else if (pick(0, 1) == 0)
            rule += ";UNTIL=" + day(first + pick(30, 900)) + "T235959Z";
        line(rule);
        for (int k = 0, n = pick(0, 4); k < n; ++k)
            line("EXDATE:" + at(first + 7 * pick(1, 50), minutes) + "Z");
        line("END:VEVENT");
        for (int k = 0, n = pick(0, 3); k < n; ++k) {
            // Overrides: moved an hour later, cancelled or declined.
            const int moved = first + 7 * pick(1, 50);
            line("BEGIN:VEVENT");
            line("UID:" + uid);
            line("RECURRENCE-ID:" + at(moved, minutes) + "Z");
            line("SUMMARY:Series " + std::to_string(i) + " (changed)");
            line("DTSTART:" + at(moved, minutes + 60) + "Z");
            line("DURATION:PT30M");
            if (k == 1)
                line("STATUS:CANCELLED");
            line("END:VEVENT");
        }
    }

    void single(int i)
    {
        line("BEGIN:VEVENT");
        common("single-" + std::to_string(i) + "@bench.example", "Meeting " + std::to_string(i));
        const int dayNumber = pick(0, 5 * 365);
        if (pick(0, 14) == 0) {
            line("DTSTART;VALUE=DATE:" + day(dayNumber));
            line("DTEND;VALUE=DATE:" + day(dayNumber + pick(1, 4)));
        } else {
            times(dayNumber, pick(28, 72) * 15, 15 * pick(1, 8));
        }
        line("END:VEVENT");
    }

    std::mt19937 m_random{20210705};
    std::string m_out;
};

// Written once per process, into a temporary folder that lives as long as the process.
struct GeneratedCalendar {
    std::unique_ptr<QTemporaryDir> dir;
    std::string path;
    std::string error;
};

const GeneratedCalendar& largeCalendar()
{
    static const GeneratedCalendar calendar = [] {
        GeneratedCalendar out;
        out.dir = std::make_unique<QTemporaryDir>();
        out.path = QDir(out.dir->path()).filePath("large.ics").toStdString();
        std::ofstream file(out.path, std::ios::binary);
        file << CalendarGenerator().generate();
        if (!file.flush()) {
            out.error = "cannot write the generated calendar to " + out.path;
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
    state.counters["megabytes"] =
        static_cast<double>(std::filesystem::file_size(calendar.path)) / 1e6;
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

// Files that once took minutes: rules that never match, a series from 1601 with a count no one
// reaches, ten thousand broken events.
std::string hostileCalendar(int shape)
{
    std::string body;
    auto event = [&](const std::string& lines) {
        body += "BEGIN:VEVENT\r\n" + lines + "END:VEVENT\r\n";
    };
    switch (shape) {
    case 0:
        event(
            "UID:s\r\nDTSTART:20250101T000000Z\r\nRRULE:FREQ=SECONDLY;BYMONTH=2;BYMONTHDAY=30\r\n");
        break;
    case 1:
        for (int i = 0; i < 2000; ++i)
            event("DTSTART:20250101T090000Z\r\nRRULE:FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=30\r\n");
        break;
    case 2:
        event("UID:d\r\nDTSTART:16010101T090000Z\r\nDURATION:PT1H\r\nRRULE:FREQ=DAILY;COUNT="
              "2000000000\r\n");
        event("UID:q\r\nDTSTART:20000101T000000Z\r\nDURATION:PT15M\r\n"
              "RRULE:FREQ=MINUTELY;INTERVAL=15;COUNT=1000000\r\n");
        break;
    default:
        for (int i = 0; i < 10'000; ++i)
            event("SUMMARY:No start\r\n");
    }
    return "BEGIN:VCALENDAR\r\n" + body + "END:VCALENDAR\r\n";
}

void BM_HostileFile(benchmark::State& state)
{
    const std::string text = hostileCalendar(static_cast<int>(state.range(0)));
    IcsDocument::Options options;
    options.origin = "hostile.ics";
    options.primaryZone = *TimeZone::named("America/New_York");
    for (auto _ : state) {
        const auto document = IcsDocument::parse(text, options);
        const IcsDocument* documents[] = {document.get()};
        std::vector<CalendarEvent> events;
        SourceProblemList problems;
        IcsDocument::expand(documents, windowStart, windowStart.addingSeconds(thirtyDays),
                            "hostile", "#8E8E93", IcsCalendarSource::maxOccurrences, events,
                            problems);
        benchmark::DoNotOptimize(events.data());
    }
}
// 0: an impossible sub-daily rule, 1: 2,000 impossible yearly rules, 2: long counted series,
// 3: 10,000 broken events.
BENCHMARK(BM_HostileFile)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace
