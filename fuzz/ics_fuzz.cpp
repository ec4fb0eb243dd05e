// Arbitrary bytes read as an iCalendar file and expanded over a month: no crash, no
// sanitizer report, no input taking more than a second.
#include "app/ics_document.h"
#include "kit/core/date.h"
#include "kit/core/time_zone.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace nelvo;
    static const TimeZone primary = *TimeZone::named("America/New_York");
    IcsDocument::Options options;
    options.calendarID = "/fuzz/calendar.ics";
    options.origin = "/fuzz/calendar.ics";
    options.primaryZone = primary;
    options.addresses = {"ana@example.com"};
    options.fallbackName = "calendar";

    const auto document =
        IcsDocument::parse(std::string_view(reinterpret_cast<const char*>(data), size), options);
    const IcsDocument* documents[] = {document.get()};
    std::vector<CalendarEvent> events;
    SourceProblemList problems;
    const Date from = *Date::fromIso8601("2025-03-01T05:00:00Z");
    IcsDocument::expand(documents, from, from.addingSeconds(30 * 86400.0), options.calendarID,
                        "#8E8E93", 500'000, events, problems);
    return 0;
}
