#include "kit/core/lead_time.h"

#include "kit/core/calendar.h"

#include <algorithm>

namespace nelvo::LeadTime {

double interval(std::int64_t minutes, Date now, const TimeZone& zone)
{
    if (minutes != nextDay)
        return static_cast<double>(minutes) * 60.0;  // in double: no overflow for any input
    const Calendar calendar(zone);
    const Date today = calendar.startOfDay(now);
    // The next day that exists: Samoa went from the 29th straight to the 31st.
    for (int days = 1; days <= 2; ++days) {
        if (const auto next = calendar.addingDays(days, today))
            return std::max(0.0, calendar.startOfDay(*next) - now);
    }
    return 0;
}

}  // namespace nelvo::LeadTime
