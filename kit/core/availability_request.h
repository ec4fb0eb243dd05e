#pragma once

#include "kit/core/daily_window.h"
#include "kit/core/date.h"
#include "kit/core/day_exclusions.h"
#include "kit/core/time_zone.h"
#include "kit/core/window_overrides.h"

#include <cstdint>

namespace nelvo {

// Everything the engine needs for one computation. Built fresh for each one.
struct AvailabilityRequest {
    Date rangeStart;  // any instant in the first day
    std::int64_t dayCount = 1;
    TimeZone zone = TimeZone::utc();
    DailyWindow window;
    WindowOverrides overrides;
    DayExclusions exclusions;
    std::int64_t minimumMinutes = 30;
    std::int64_t snapMinutes = 15;
    Date now;
    double leadTime = 0;  // seconds
};

}  // namespace nelvo
