#pragma once

#include "kit/core/calendar_event.h"

#include "support/time_helpers.h"

namespace nelvo::test {

// An occurrence of the user's own event between two ISO-8601 instants.
inline CalendarEvent meeting(const char* id, const char* start, const char* end,
                             const char* title = "Planning", const char* calendar = "work")
{
    CalendarEvent event;
    event.eventID = id;
    event.occurrenceStart = at(start);
    event.start = at(start);
    event.end = at(end);
    event.title = title;
    event.calendarID = calendar;
    event.calendarColorHex = "#3B82F6";
    return event;
}

}  // namespace nelvo::test
