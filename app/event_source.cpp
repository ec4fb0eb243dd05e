#include "app/event_source.h"

#include <algorithm>

namespace nelvo {

void EventSource::sortByTime(std::vector<CalendarEvent>& events)
{
    std::stable_sort(events.begin(), events.end(),
                     [](const CalendarEvent& a, const CalendarEvent& b) {
                         if (a.start != b.start)
                             return a.start < b.start;
                         return a.end < b.end;
                     });
}

}  // namespace nelvo
