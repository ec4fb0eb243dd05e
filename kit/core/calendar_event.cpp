#include "kit/core/calendar_event.h"

#include <charconv>
#include <cmath>

namespace nelvo {

std::string shortestDecimal(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    if (std::isfinite(value) && text.find_first_of(".eEn") == std::string::npos)
        text += ".0";
    return text;
}

std::string CalendarEvent::viewID() const
{
    return calendarID + "|" + eventID + "|" + shortestDecimal(occurrenceStart.seconds);
}

}  // namespace nelvo

std::size_t
std::hash<nelvo::CalendarEvent>::operator()(const nelvo::CalendarEvent& e) const noexcept
{
    using nelvo::hashCombine;
    std::size_t seed = std::hash<std::string>{}(e.eventID);
    hashCombine(seed, std::hash<nelvo::Date>{}(e.occurrenceStart));
    hashCombine(seed, std::hash<nelvo::Date>{}(e.start));
    hashCombine(seed, std::hash<nelvo::Date>{}(e.end));
    hashCombine(seed, std::hash<std::string>{}(e.title));
    hashCombine(seed, std::hash<std::string>{}(e.calendarID));
    hashCombine(seed, std::hash<std::string>{}(e.calendarColorHex));
    hashCombine(seed, std::hash<bool>{}(e.isAllDay));
    hashCombine(seed, static_cast<std::size_t>(e.availability));
    hashCombine(seed, static_cast<std::size_t>(e.participation));
    hashCombine(seed, std::hash<bool>{}(e.isCanceled));
    return seed;
}
