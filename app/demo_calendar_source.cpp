#include "app/demo_calendar_source.h"

#include "app/demo_schedule.h"

namespace nelvo {

std::vector<CalendarInfo> DemoCalendarSource::calendars()
{
    return DemoSchedule::calendars();
}

std::vector<CalendarEvent> DemoCalendarSource::events(Date from, Date to)
{
    return DemoSchedule::events(from, to, Calendar(TimeZone::system()));
}

}  // namespace nelvo
