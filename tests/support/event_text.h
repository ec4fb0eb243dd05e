#pragma once

#include "kit/core/calendar_event.h"

#include <string>

namespace nelvo::test {

// "busy accepted", then " all-day" and " cancelled" when so: what an occurrence says about
// the user's time.
inline std::string traits(const CalendarEvent& e)
{
    static const char* const availability[] = {"busy", "free", "tentative", "unavailable", "n/a"};
    static const char* const answer[] = {"none",      "accepted", "declined",
                                         "tentative", "pending",  "unknown"};
    return std::string(availability[int(e.availability)]) + " " + answer[int(e.participation)] +
           (e.isAllDay ? " all-day" : "") + (e.isCanceled ? " cancelled" : "");
}

}  // namespace nelvo::test
