#pragma once

#include "kit/core/calendar.h"
#include "kit/core/date.h"
#include "kit/core/time_zone.h"

#include <optional>

namespace nelvo {

// The primary-zone day of each slot, for slots taken in start order. The bounds of the current
// day are kept, so that a day is worked out once rather than once per slot.
class SlotDays {
public:
    explicit SlotDays(const TimeZone& zone) : m_calendar(zone) {}

    // Calendar::startOfDay of the date.
    Date startOfDay(Date date);

    // Walks slots in start order: `newDay(dayStart)` where a slot begins on another day of
    // `zone` than the slot before it, then `each(slot, dayStart)` for every slot.
    template <typename Slots, typename NewDay, typename Each>
    static void walk(const Slots& slots, const TimeZone& zone, NewDay newDay, Each each)
    {
        SlotDays days(zone);
        std::optional<Date> current;
        for (const auto& slot : slots) {
            const Date dayStart = days.startOfDay(slot.start);
            if (!current || *current != dayStart) {
                current = dayStart;
                newDay(dayStart);
            }
            each(slot, dayStart);
        }
    }

private:
    Calendar m_calendar;
    std::optional<Date> m_start;
    std::optional<Date> m_end;  // the next day's start; empty when that day does not exist
};

}  // namespace nelvo
