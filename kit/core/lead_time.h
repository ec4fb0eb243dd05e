#pragma once

#include "kit/core/date.h"
#include "kit/core/time_zone.h"

#include <cstdint>

namespace nelvo {

// Advance notice, turned into the seconds that go into AvailabilityRequest::leadTime.
namespace LeadTime {

// The choice that means "not before the next calendar day" rather than 24 hours.
inline constexpr std::int64_t nextDay = 1440;

// `minutes` × 60 seconds; for `nextDay`, the seconds from `now` to the next local midnight
// (never negative; 0 when that midnight cannot be formed), so that 23- and 25-hour days
// keep their real length.
double interval(std::int64_t minutes, Date now, const TimeZone& zone);

}  // namespace LeadTime

}  // namespace nelvo
