#pragma once

#include "kit/core/busy_interval.h"
#include "kit/core/calendar_event.h"
#include "kit/core/daily_window.h"
#include "kit/core/date.h"
#include "kit/core/slot.h"

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
    std::vector<Slot> slots;            // cut to the day's visible range
    std::vector<BusyInterval> busy;     // cut to the day's visible range
    std::vector<CalendarEvent> events;  // overlapping the visible range, whole

    bool operator==(const DayData&) const = default;
};

}  // namespace nelvo
