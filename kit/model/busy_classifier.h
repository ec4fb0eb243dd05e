#pragma once

#include "kit/core/adjustment_key.h"
#include "kit/core/busy_interval.h"
#include "kit/core/calendar_event.h"
#include "kit/model/adjustments.h"
#include "kit/model/busy_reason.h"

#include <set>
#include <span>
#include <string>
#include <unordered_set>
#include <vector>

namespace nelvo {

// Which events block the user's time. All-day, cancelled, declined and free events never
// do; neither does an occurrence the user freed, nor anything in a calendar left out.
namespace BusyClassifier {

// How an event shows in a day's event list; a freed occurrence shows as freed first.
enum class EventState { movable, busy, ignored };

bool countsAsBusy(const CalendarEvent& event, const std::set<std::string>& includedCalendars,
                  const std::unordered_set<AdjustmentKey>& movable);

// The busy events' intervals in the given order, then the reserved blocks' in stored order,
// which count whatever the calendars. Nothing is clipped, sorted or merged.
std::vector<BusyInterval> busyIntervals(std::span<const CalendarEvent> events,
                                        const std::set<std::string>& includedCalendars,
                                        const Adjustments& adjustments);

// Agrees with countsAsBusy() and state(): `counts(reason(...))` is countsAsBusy, and
// `freed` is exactly the movable state.
BusyReason reason(const CalendarEvent& event, const std::set<std::string>& includedCalendars,
                  const std::unordered_set<AdjustmentKey>& movable);
bool counts(BusyReason reason);
// "Accepted", "No answer yet, so it counts", ... for tooltips and accessible descriptions.
const char* reasonText(BusyReason reason);
// "Accepted", "No answer", ... for a tag beside an event.
const char* reasonTag(BusyReason reason);

EventState state(const CalendarEvent& event, const std::set<std::string>& includedCalendars,
                 const Adjustments& adjustments);
// The state a reason gives: `freed` is movable, a reason that counts busy, any other ignored.
EventState state(BusyReason reason);

}  // namespace BusyClassifier

}  // namespace nelvo
