#include "kit/core/lead_time.h"

#include "kit/core/calendar.h"

#include <algorithm>

namespace nelvo::LeadTime {

double interval(std::int64_t minutes, Date now, const TimeZone& zone)
{
    if (minutes != nextDay)
        return static_cast<double>(minutes) * 60.0;  // in double: no overflow for any input
    const Calendar calendar(zone);
    const auto next = calendar.addingDays(1, calendar.startOfDay(now));
    if (!next)
        return 0;
    // A missing next day (a zone that skipped it) still ends today at the following midnight.
    return std::max(0.0, calendar.startOfDay(*next) - now);
}

}  // namespace nelvo::LeadTime
