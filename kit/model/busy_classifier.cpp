#include "kit/model/busy_classifier.h"

namespace nelvo::BusyClassifier {

bool countsAsBusy(const CalendarEvent& event, const std::set<std::string>& includedCalendars,
                  const std::unordered_set<AdjustmentKey>& movable)
{
    return includedCalendars.contains(event.calendarID) && !event.isAllDay && !event.isCanceled &&
           event.participation != CalendarEvent::Participation::declined &&
           event.availability != CalendarEvent::Availability::free && !movable.contains(event.id());
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
    if (adjustments.movable.contains(event.id()))
        return EventState::movable;
    if (countsAsBusy(event, includedCalendars, adjustments.movable))
        return EventState::busy;
    return EventState::ignored;
}

}  // namespace nelvo::BusyClassifier
