#pragma once

#include "kit/core/busy_interval.h"
#include "kit/core/calendar_event.h"
#include "kit/core/daily_window.h"
#include "kit/core/date.h"
#include "kit/core/slot.h"
#include "kit/model/busy_reason.h"

#include <string>
#include <vector>

namespace nelvo {

// One calendar day of the range, as the canvas shows it. `id` is the day key.
struct DayData {
    std::string id;
    Date date;  // start of the day in the primary zone
    bool isToday = false;
    bool isExcluded = false;
    DailyWindow window;  // the day's own edges where it has them
    bool startOverridden = false;
    bool endOverridden = false;
    std::vector<Slot> slots;  // cut to the day's visible range
    // The events that count, joined where they overlap or touch, cut to the day's visible
    // range; and, apart, the time the user took out of free bands (reserved blocks), joined
    // and cut alike. Both are busy to the engine.
    std::vector<BusyInterval> busy;
    std::vector<BusyInterval> held;
    std::vector<CalendarEvent> events;  // overlapping the visible range, whole
    // Why each of `events` counts or not, in the same order (BusyClassifier::reason).
    std::vector<BusyClassifier::BusyReason> reasons;

    bool operator==(const DayData&) const = default;
};

}  // namespace nelvo
