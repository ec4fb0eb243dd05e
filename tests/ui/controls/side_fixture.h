#pragma once

#include "app/availability_model.h"
#include "app/event_source.h"
#include "kit/store/adjustments_store.h"
#include "kit/store/in_memory_user_defaults.h"
#include "kit/store/settings_store.h"

#include "support/temp_folder.h"
#include "support/time_helpers.h"

#include <filesystem>
#include <memory>

namespace nelvo::test {

// Two accounts, one of them with a subscribed calendar, and one meeting on Tuesday.
class SideSource : public EventSource {
public:
    std::vector<CalendarInfo> calendarList{
        {"work", "Work", "Office", "#3B82F6", false},
        {"holidays", "Holidays", "Office", "#10B981", true},
        {"home", "Family", "Home", "#F97316", false},
    };
    std::vector<CalendarEvent> all;

    bool hasAccess() const override { return true; }
    std::vector<CalendarInfo> calendars() override { return calendarList; }
    std::vector<CalendarEvent> events(Date from, Date to) override
    {
        std::vector<CalendarEvent> result;
        for (const auto& event : all)
            if (event.start < to && event.end > from)
                result.push_back(event);
        return result;
    }
    void observeChanges(std::function<void()>) override {}
};

inline CalendarEvent meeting(const char* start, const char* end)
{
    CalendarEvent event;
    event.eventID = std::string("m-") + start;
    event.occurrenceStart = at(start);
    event.start = at(start);
    event.end = at(end);
    event.title = "Planning";
    event.calendarID = "work";
    return event;
}

// A model in Los Angeles on Monday 2025-03-03 at 08:00, over in-memory defaults and a
// temporary adjustments file.
struct SideFixture {
    test::TempFolder folder{"nelvo-side"};
    std::shared_ptr<SideSource> source = std::make_shared<SideSource>();
    std::shared_ptr<InMemoryUserDefaults> defaults = std::make_shared<InMemoryUserDefaults>();
    Date now = at("2025-03-03T08:00:00-08:00");
    TimeZone la = zone("America/Los_Angeles");
    std::unique_ptr<AvailabilityModel> model;

    ~SideFixture() { model.reset(); }

    AvailabilityModel& make()
    {
        model = std::make_unique<AvailabilityModel>(
            source, std::make_shared<SettingsStore>(defaults),
            std::make_shared<AdjustmentsStore>(folder / "adjustments.json"), [this] { return now; },
            [this] { return la; });
        return *model;
    }

    std::string key(Date d) const { return DayKey::string(d, la); }
};

}  // namespace nelvo::test
