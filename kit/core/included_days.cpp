#include "kit/core/included_days.h"

#include "kit/core/calendar.h"
#include "kit/core/day_key.h"

#include <algorithm>

namespace nelvo::IncludedDays {

IncludedSpan span(Date from, int count, const DayExclusions& exclusions, const TimeZone& zone,
                  int cap)
{
    if (count <= 0)
        return {};
    const int limit = std::max(0, cap);
    if (limit == 0)
        return {};
    const Calendar calendar(zone);
    const Date first = calendar.startOfDay(from);
    IncludedSpan result;
    for (int i = 0; i < limit; ++i) {
        const auto day = calendar.addingDays(i, first);
        if (!day)
            continue;  // a day the zone skipped: counted, never included
        const std::string key = DayKey::string(*day, calendar);
        if (!exclusions.isExcluded(key, calendar.weekday(*day)))
            result.includedKeys.push_back(key);
        if (static_cast<int>(result.includedKeys.size()) >= count)
            return IncludedSpan{i + 1, std::move(result.includedKeys)};
    }
    result.calendarDays = limit;
    return result;
}

}  // namespace nelvo::IncludedDays
