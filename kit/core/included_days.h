#pragma once

#include "kit/core/date.h"
#include "kit/core/day_exclusions.h"
#include "kit/core/included_span.h"
#include "kit/core/time_zone.h"

namespace nelvo {

namespace IncludedDays {

// How many included days may be asked for.
inline constexpr int minDayCount = 1;
inline constexpr int maxDayCount = 14;

// The most calendar days walked to collect the included days asked for.
inline constexpr int lookAheadCap = 28;

// From the day of `from`, the calendar days needed to collect `count` included days (the span
// ends with the last one collected); when fewer exist within `cap` days, `cap` days and the
// keys found. `count` ≤ 0 or `cap` ≤ 0: nothing.
IncludedSpan span(Date from, int count, const DayExclusions& exclusions, const TimeZone& zone,
                  int cap = lookAheadCap);

}  // namespace IncludedDays

}  // namespace nelvo
