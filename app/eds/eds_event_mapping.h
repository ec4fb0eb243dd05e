#pragma once

// Internal to app/eds: included by .cpp files only, never by a public header.
#include "kit/core/calendar_event.h"

#include <libecal/libecal.h>

#include <optional>
#include <string>
#include <vector>

namespace nelvo {

// One occurrence as EDS expands it: the event's component (a detached instance, or the
// series' master) and the occurrence's own start and end.
struct EdsInstance {
    icalcomponent* component = nullptr;
    const icaltimetype* start = nullptr;
    const icaltimetype* end = nullptr;
    ETimezoneCache* zones = nullptr;      // resolves the TZIDs of the calendar
    icaltimezone* primaryZone = nullptr;  // floating times and all-day dates
};

// The occurrence as a CalendarEvent, by the rules every iCalendar component follows
// (IcsEventMapping). `addresses`: the user's own, normalized, which find the user's answer
// among the attendees. Empty for an event without UID.
std::optional<CalendarEvent> eventFromInstance(const EdsInstance& instance,
                                               const std::vector<std::string>& addresses,
                                               const std::string& calendarID,
                                               const std::string& colorHex);

// Gives `zones` (a calendar's client) the zones the start and end of `component` name that
// it cannot resolve but IcsEventMapping::zoneNamed can ("Pacific Standard Time"), under
// those names: EDS reads a time in a zone it does not know as the primary zone's, before
// this program sees it. Returns whether one was added.
bool teachZones(ETimezoneCache* zones, icalcomponent* component);

}  // namespace nelvo
