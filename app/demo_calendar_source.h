#pragma once

#include "app/event_source.h"

namespace nelvo {

// The working week of DemoSchedule, in the system's zone. Always readable; never changes.
class DemoCalendarSource : public EventSource {
public:
    bool hasAccess() const override { return true; }
    std::vector<CalendarInfo> calendars() override;
    std::vector<CalendarEvent> events(Date from, Date to) override;
    // The demo week never changes, so the handler is never called.
    void observeChanges(std::function<void()> handler) override { (void)handler; }
};

}  // namespace nelvo
