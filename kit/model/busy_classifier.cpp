#include "kit/model/busy_classifier.h"

namespace nelvo::BusyClassifier {

using Participation = CalendarEvent::Participation;

namespace {

// The event's own rule, before any freeing by the user.
BusyReason ruleOf(const CalendarEvent& event, const std::set<std::string>& includedCalendars)
{
    if (!includedCalendars.contains(event.calendarID))
        return BusyReason::calendarLeftOut;
    if (event.isAllDay)
        return BusyReason::allDay;
    if (event.isCanceled)
        return BusyReason::cancelled;
    if (event.participation == Participation::declined)
        return BusyReason::declined;
    if (event.availability == CalendarEvent::Availability::free)
        return BusyReason::shownAsFree;
    switch (event.participation) {
    case Participation::accepted:
        return BusyReason::accepted;
    case Participation::tentative:
        return BusyReason::answeredMaybe;
    case Participation::pending:
    case Participation::unknown:
        return BusyReason::noAnswer;
    case Participation::none:
    case Participation::declined:
        break;
    }
    return event.isInvitation ? BusyReason::markedBusy : BusyReason::ownEvent;
}

}  // namespace

bool countsAsBusy(const CalendarEvent& event, const std::set<std::string>& includedCalendars,
                  const std::unordered_set<AdjustmentKey>& movable)
{
    return counts(ruleOf(event, includedCalendars)) && !movable.contains(event.id());
}

BusyReason reason(const CalendarEvent& event, const std::set<std::string>& includedCalendars,
                  const std::unordered_set<AdjustmentKey>& movable)
{
    if (movable.contains(event.id()))
        return BusyReason::freed;
    return ruleOf(event, includedCalendars);
}

bool counts(BusyReason reason)
{
    switch (reason) {
    case BusyReason::accepted:
    case BusyReason::answeredMaybe:
    case BusyReason::noAnswer:
    case BusyReason::ownEvent:
    case BusyReason::markedBusy:
        return true;
    case BusyReason::freed:
    case BusyReason::calendarLeftOut:
    case BusyReason::allDay:
    case BusyReason::cancelled:
    case BusyReason::declined:
    case BusyReason::shownAsFree:
        return false;
    }
    return false;
}

const char* reasonText(BusyReason reason)
{
    switch (reason) {
    case BusyReason::accepted:
        return "Accepted";
    case BusyReason::answeredMaybe:
        return "Answered maybe, so it counts";
    case BusyReason::noAnswer:
        return "No answer yet, so it counts";
    case BusyReason::ownEvent:
        return "Your own event";
    case BusyReason::markedBusy:
        return "Marked busy";
    case BusyReason::freed:
        return "Freed by you";
    case BusyReason::calendarLeftOut:
        return "Its calendar is left out";
    case BusyReason::allDay:
        return "All day";
    case BusyReason::cancelled:
        return "Cancelled";
    case BusyReason::declined:
        return "Declined";
    case BusyReason::shownAsFree:
        return "Shown as free";
    }
    return "";
}

const char* reasonTag(BusyReason reason)
{
    switch (reason) {
    case BusyReason::answeredMaybe:
        return "Maybe";
    case BusyReason::noAnswer:
        return "No answer";
    case BusyReason::ownEvent:
        return "Yours";
    case BusyReason::freed:
        return "Freed";
    case BusyReason::calendarLeftOut:
        return "Left out";
    case BusyReason::shownAsFree:
        return "Free";
    default:
        return reasonText(reason);
    }
}

std::vector<BusyInterval> busyIntervals(std::span<const CalendarEvent> events,
                                        const std::set<std::string>& includedCalendars,
                                        const Adjustments& adjustments)
{
    std::vector<BusyInterval> intervals;
    if (!includedCalendars.empty()) {
        for (const CalendarEvent& event : events)
            if (countsAsBusy(event, includedCalendars, adjustments.movable))
                intervals.push_back(BusyInterval{event.start, event.end});
    }
    for (const ReservedBlock& block : adjustments.reserved)
        intervals.push_back(BusyInterval{block.start, block.end});
    return intervals;
}

EventState state(const CalendarEvent& event, const std::set<std::string>& includedCalendars,
                 const Adjustments& adjustments)
{
    return state(reason(event, includedCalendars, adjustments.movable));
}

EventState state(BusyReason reason)
{
    if (reason == BusyReason::freed)
        return EventState::movable;
    return counts(reason) ? EventState::busy : EventState::ignored;
}

}  // namespace nelvo::BusyClassifier
