#pragma once

#include "kit/core/date.h"
#include "kit/core/date_formatter.h"
#include "kit/core/slot.h"
#include "kit/core/time_zone.h"

#include <span>
#include <string>
#include <string_view>

namespace nelvo {

// The short English texts every output uses: time ranges, clock times, day labels, date
// ranges and zone names. Patterns are read with "en_US_POSIX", so the machine's language and
// clock preference never show.
namespace SlotFormatter {

// A new formatter on every call: `pattern` in `zone`, "en_US_POSIX".
DateFormatter formatter(std::string_view pattern, const TimeZone& zone);

// "Monday, March 3, 2025".
std::string longDayLabel(Date date, const TimeZone& zone);
// "Mon, Mar 3".
std::string dayLabel(Date date, const TimeZone& zone);

// "09:00" in 24-hour mode (the case flag is ignored); else "9:00AM" or "9:00am".
std::string time(Date date, const TimeZone& zone, bool use24Hour, bool uppercaseMeridiem);

// start + dash + end in `zone`. An end point on another calendar day than `referenceDay`
// (taken in `referenceZone`) carries its weekday: "10:00PM - 1:00AM (Tue)"; a slot wholly on
// one other day carries a single marker, at its end. An end at midnight lies on the next day.
std::string text(const Slot& slot, const TimeZone& zone, Date referenceDay,
                 const TimeZone& referenceZone, bool use24Hour, std::string_view dash,
                 bool uppercaseMeridiem);

// The English ("en_US") name of the zone over the period of `dates`:
// "Pacific Standard Time (PST)", "India Standard Time (GMT+5:30)"; the generic name
// ("Pacific Time") when `dates` is empty or straddles a daylight-saving change; `fallback`
// when the zone database has no name.
std::string zoneDescription(const TimeZone& zone, std::span<const Date> dates,
                            std::string_view fallback);

// "Mar 3", "Mar 3 – 7", "Mar 30 – Apr 2", "Dec 30 – Jan 3": no year is ever shown. `end` lies
// inside the last day. An `end` before `start` is written as given.
std::string rangeLabel(Date start, Date end, const TimeZone& zone);

}  // namespace SlotFormatter

}  // namespace nelvo
