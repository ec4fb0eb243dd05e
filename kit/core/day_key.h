#pragma once

#include "kit/core/calendar.h"
#include "kit/core/date.h"
#include "kit/core/date_formatter.h"
#include "kit/core/time_zone.h"

#include <optional>
#include <string>
#include <string_view>

namespace nelvo {

// Days are named by "yyyy-MM-dd" keys in the primary zone; text order is calendar order.
namespace DayKey {

// A new formatter on every call: "yyyy-MM-dd", Gregorian, "en_US_POSIX", in the zone.
DateFormatter formatter(const TimeZone& zone);

// The calendar day on which the instant falls in the zone: "2025-03-07".
std::string string(Date date, const TimeZone& zone);
std::string string(Date date, const Calendar& calendar);

// Local midnight of the day in the zone. Strict: anything but a real "yyyy-MM-dd" date
// ("2025-13-45", "2025-3-7", "07/03/2025", "") yields nothing, as does a day the zone skipped.
std::optional<Date> date(std::string_view key, const TimeZone& zone);

// 1 = Sunday ... 7 = Saturday, from the key alone (never the machine's zone); empty when the
// key does not parse.
std::optional<int> weekday(std::string_view key);

}  // namespace DayKey

}  // namespace nelvo
