#pragma once

#include "kit/core/adjustment_key.h"
#include "kit/core/date.h"

#include <string>

namespace nelvo {

// One occurrence of a calendar event, as a calendar source delivers it.
struct CalendarEvent {
    enum class Availability { busy, free, tentative, unavailable, notSupported };
    enum class Participation { none, accepted, declined, tentative, pending, unknown };

    std::string eventID;  // shared by every occurrence of a recurring event
    Date occurrenceStart;
    Date start;
    Date end;  // exclusive
    std::string title;
    std::string calendarID;
    std::string calendarColorHex;  // "#3B82F6"
    bool isAllDay = false;
    Availability availability = Availability::busy;
    Participation participation = Participation::none;
    bool isCanceled = false;
    // It lists attendees: with `participation` none, the user was not found among them.
    bool isInvitation = false;

    // The occurrence's identity: two values with the same pair are the same item even when
    // other fields differ.
    AdjustmentKey id() const { return {eventID, occurrenceStart}; }
    // "calendarID|eventID|763059600.0": the identity of an event row.
    std::string viewID() const;

    bool operator==(const CalendarEvent&) const = default;
};

// The shortest decimal text that reads back to the same double, with ".0" for whole numbers.
std::string shortestDecimal(double value);

}  // namespace nelvo

template <>
struct std::hash<nelvo::CalendarEvent> {
    std::size_t operator()(const nelvo::CalendarEvent& e) const noexcept;
};
