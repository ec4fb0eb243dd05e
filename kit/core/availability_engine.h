#pragma once

#include "kit/core/availability_request.h"
#include "kit/core/busy_interval.h"
#include "kit/core/calendar.h"
#include "kit/core/daily_window.h"
#include "kit/core/slot.h"

#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace nelvo {

// Free time: each included day's working window, minus busy time and everything before the
// advance-notice cutoff, aligned to a grid anchored at local midnight.
namespace AvailabilityEngine {

// The application's grid step, in minutes.
inline constexpr std::int64_t applicationSnapMinutes = 15;

// Free slots of the request's days, sorted by start and pairwise non-overlapping; none
// shorter than request.minimumMinutes. Days that cannot be formed in the zone are skipped.
std::vector<Slot> slots(std::span<const BusyInterval> busy, const AvailabilityRequest& request);

// Empty and inverted intervals dropped, sorted by start, overlapping and touching ones joined.
std::vector<BusyInterval> normalizedBusy(std::span<const BusyInterval> busy);

// The window's start and end on the day of local midnight `dayStart`; an end at or before
// the start lies on the next day (equal minutes: 24 hours). Empty when either edge cannot be
// placed (minutes outside 0...1439, a missing day).
std::optional<std::pair<Date, Date>> windowBounds(Date dayStart, const DailyWindow& window,
                                                  const Calendar& calendar);

}  // namespace AvailabilityEngine

}  // namespace nelvo
