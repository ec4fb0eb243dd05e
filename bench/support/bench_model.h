#pragma once

// The model the benchmarks measure: Los Angeles from Monday 2025-03-03, 14 days, the primary
// zone and five more, over the events a benchmark makes.
#include "app/availability_model.h"
#include "app/event_source.h"
#include "kit/core/day_key.h"
#include "kit/store/adjustments_store.h"
#include "kit/store/in_memory_user_defaults.h"
#include "kit/store/settings_store.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace nelvo::bench {

// Every event, whatever the window asked for.
class FixedEvents : public EventSource {
public:
    std::vector<CalendarEvent> all;
    bool hasAccess() const override { return true; }
    std::vector<CalendarInfo> calendars() override
    {
        return {{"work", "Work", "", "#3B82F6", false}};
    }
    std::vector<CalendarEvent> events(Date, Date) override { return all; }
    void observeChanges(std::function<void()>) override {}
};

inline TimeZone losAngeles()
{
    return *TimeZone::named("America/Los_Angeles");
}

// Midnight at the start of Monday 2025-03-03 in Los Angeles.
inline Date firstDay()
{
    return *DayKey::date("2025-03-03", losAngeles());
}

inline CalendarEvent workEvent(std::string id, Date start, double seconds)
{
    CalendarEvent event;
    event.eventID = std::move(id);
    event.start = start;
    event.occurrenceStart = start;
    event.end = start.addingSeconds(seconds);
    event.calendarID = "work";
    return event;
}

// The model over `events` with its adjustments in `folder` (saved first when given), the
// clock `hour` hours into the first day. The folder goes with the object.
struct BenchModel {
    std::filesystem::path folder;
    std::shared_ptr<InMemoryUserDefaults> defaults = std::make_shared<InMemoryUserDefaults>();
    std::unique_ptr<AvailabilityModel> model;

    BenchModel(std::filesystem::path where, std::vector<CalendarEvent> events,
               const std::optional<Adjustments>& adjustments, int hour)
        : folder(std::move(where))
    {
        auto source = std::make_shared<FixedEvents>();
        source->all = std::move(events);
        std::filesystem::remove_all(folder);
        auto store = std::make_shared<AdjustmentsStore>(folder / "adjustments.json");
        if (adjustments)
            store->save(*adjustments);
        Settings settings = Settings::initial(losAngeles());
        settings.dayCount = 14;
        for (const char* id : {"Europe/Berlin", "Asia/Kolkata", "Asia/Tokyo", "America/New_York",
                               "Australia/Sydney"})
            settings.addZone(id);
        SettingsStore(defaults).save(settings);
        const Date now = firstDay().addingSeconds(hour * 3600.0);
        model = std::make_unique<AvailabilityModel>(
            source, std::make_shared<SettingsStore>(defaults), store, [now] { return now; },
            [zone = losAngeles()] { return zone; });
    }
    ~BenchModel()
    {
        model.reset();
        std::filesystem::remove_all(folder);
    }
    BenchModel(const BenchModel&) = delete;
    BenchModel& operator=(const BenchModel&) = delete;
};

}  // namespace nelvo::bench
