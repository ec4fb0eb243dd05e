#pragma once

#include "kit/core/calendar_event.h"
#include "kit/core/date.h"
#include "kit/core/time_zone.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// libical's component and property types, declared as libical declares them, so that users
// of the mapping need not include libical.
typedef struct icalcomponent_impl icalcomponent;
typedef struct icalproperty_impl icalproperty;

namespace nelvo {

// How one iCalendar VEVENT becomes a CalendarEvent: the event's own traits (status,
// transparency or the busy status Exchange writes, the user's own attendee answer, all-day)
// and the zone a TZID names when the text defines none. Every source that reads iCalendar
// components (files, the desktop's calendar service) maps them through here, so that an
// event means the same wherever it was read.
namespace IcsEventMapping {

struct Traits {
    std::string uid;    // empty when the event has none
    std::string title;  // SUMMARY, cut to a sane length
    bool isAllDay = false;
    CalendarEvent::Availability availability = CalendarEvent::Availability::busy;
    CalendarEvent::Participation participation = CalendarEvent::Participation::none;
    bool isCanceled = false;
    bool isInvitation = false;  // it has ATTENDEE lines

    bool operator==(const Traits&) const = default;
};

// The traits of a VEVENT. `addresses`: the user's calendar addresses, normalized
// (lower case, without "mailto:"); the first ATTENDEE among them gives the user's answer.
Traits traits(icalcomponent* event, const std::vector<std::string>& addresses);

// The user's answer on one ATTENDEE line; `none` when the line is not the user's.
CalendarEvent::Participation participation(icalproperty* attendee,
                                           const std::vector<std::string>& addresses);

// X-MICROSOFT-CDO-BUSYSTATUS when given (BUSY, TENTATIVE, OOF, FREE), else TRANSP.
CalendarEvent::Availability availability(std::string_view busyStatus, bool isTransparent);

// "mailto:Ana@Example.com " -> "ana@example.com".
std::string normalizedAddress(std::string_view address);

// The zone a TZID names without a VTIMEZONE of its own: an IANA name, a Windows name
// ("W. Europe Standard Time"), or an IANA name ending a path-like TZID
// ("/example.org/Europe/Berlin"). Empty for anything else.
std::optional<TimeZone> zoneNamed(std::string_view tzid);

// One occurrence of the event as the model sees it.
CalendarEvent event(const Traits& traits, const std::string& eventID, Date occurrenceStart,
                    Date start, Date end, const std::string& calendarID,
                    const std::string& colorHex);

}  // namespace IcsEventMapping

}  // namespace nelvo
