#pragma once

#include "kit/core/calendar.h"
#include "kit/core/calendar_event.h"
#include "kit/core/calendar_info.h"
#include "kit/core/date.h"

#include <set>
#include <string>
#include <vector>

namespace nelvo {

// The fixed working week of demo mode.
namespace DemoSchedule {

struct Template {
    std::string title;
    std::string calendarID;
    std::set<int> weekdays;  // 1 = Sunday ... 7 = Saturday
    int startMinute = 0;     // after local midnight
    int endMinute = 0;
    CalendarEvent::Participation participation = CalendarEvent::Participation::none;

    bool operator==(const Template&) const = default;
};

// "demo.work" and "demo.personal", in that order.
const std::vector<CalendarInfo>& calendars();
// The week's events, in table order.
const std::vector<Template>& templates();

// The occurrences lying wholly inside [from, to): day by day from the day of `from`, within
// a day in table order. An occurrence that starts before `from` or ends after `to` is left out.
std::vector<CalendarEvent> events(Date from, Date to, const Calendar& calendar);

}  // namespace DemoSchedule

}  // namespace nelvo
