#pragma once

// Internal to app/eds: included by .cpp files only, never by a public header.
#include "app/eds/eds_event_mapping.h"

#include <set>
#include <utility>

namespace nelvo {

// Seconds asked for on each side of the window. EDS's store picks the events that touch it
// reading a zone it does not know in a zone of its own, hours off, and a change moves the
// occurrences after it by hours: a day around the window finds those that fall into it.
inline constexpr double edsWindowMargin = 86400;

// What a fetch knows when it maps one series itself.
struct EdsSeriesRead {
    EdsInstance calendar;          // the calendar's zones and the primary zone; no component
    ECalClient* client = nullptr;  // resolves the zones of the series' rule
    GCancellable* cancellable = nullptr;
    Date from, to;  // the window
    std::vector<std::string> addresses;
    std::string calendarID;
    std::string colorHex;
};

// The occurrences of one series from EDS's `objects` for its `uid`: its `changes` that EDS
// handed over incomplete (needsSeries), completed from the series, and the occurrences its
// changes "this and future" move, but those `seen` (event ID, occurrence start) holds.
std::vector<CalendarEvent> seriesOccurrences(const EdsSeriesRead& read, const std::string& uid,
                                             GSList* objects,
                                             const std::vector<icalcomponent*>& changes,
                                             std::set<std::pair<std::string, double>> seen);

}  // namespace nelvo
