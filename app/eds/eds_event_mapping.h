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

// EDS's copy of a change "this and future" for a later occurrence: the change's times under
// that occurrence's RECURRENCE-ID, handed over at the occurrence's unchanged time. The
// series gives the occurrence instead (`laterOccurrence`).
bool isCopiedChange(const EdsInstance& instance);

// A change of one occurrence that EDS hands over as it stands but that needs its series: one
// made for this and the later occurrences, or one without a title or an end of its own.
bool needsSeries(icalcomponent* change);

// What `change` leaves out, taken from its series' `master`: the title, and the length when
// it gives no end (a DURATION is added).
void completeFromMaster(icalcomponent* change, icalcomponent* master);

// The instant of a time EDS gives for `instance` (its zone, else the primary zone).
Date instantOf(const icaltimetype& time, const EdsInstance& instance);

// The instant a property of `instance.component` gives (DTSTART, RECURRENCE-ID).
std::optional<Date> propertyDate(const EdsInstance& instance, icalproperty_kind kind);

// The occurrence of a series at `occurrence` (its own start, a date the series' rule gives)
// as `change` has it: at the change's own time when it changes that occurrence alone, else
// shifted as the change ("this and future") shifts its own, and as long as it.
std::optional<CalendarEvent> changedOccurrence(const EdsInstance& change, Date occurrence,
                                               const std::vector<std::string>& addresses,
                                               const std::string& calendarID,
                                               const std::string& colorHex);

// Gives `zones` (a calendar's client) the zones the start and end of `component` name that
// it cannot resolve but IcsEventMapping::zoneNamed can ("Pacific Standard Time"), under
// those names: EDS reads a time in a zone it does not know as the primary zone's, before
// this program sees it. Returns whether one was added.
bool teachZones(ETimezoneCache* zones, icalcomponent* component);

}  // namespace nelvo
