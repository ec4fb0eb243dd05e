#pragma once

// A model for the copy, save and share tests: two meetings on Monday 2025-03-03 in Los
// Angeles, in-memory defaults, a private adjustments file, a fixed clock and zone, and a
// record of the sounds played.

#include "app/availability_model.h"
#include "app/event_source.h"
#include "kit/store/adjustments_store.h"
#include "kit/store/in_memory_user_defaults.h"
#include "kit/store/settings_store.h"

#include "support/time_helpers.h"

#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace nelvo::test {

class ShareSource : public EventSource {
public:
    bool hasAccess() const override { return true; }
    std::vector<CalendarInfo> calendars() override
    {
        return {{"work", "Work", "Office", "#3B82F6", false}};
    }
    std::vector<CalendarEvent> events(Date from, Date to) override
    {
        std::vector<CalendarEvent> result;
        for (const auto& event : all) {
            if (event.start < to && event.end > from)
                result.push_back(event);
        }
        return result;
    }
    void observeChanges(std::function<void()>) override {}

    std::vector<CalendarEvent> all;
};

inline CalendarEvent meeting(const char* id, const char* title, const char* start, const char* end)
{
    CalendarEvent event;
    event.eventID = id;
    event.occurrenceStart = at(start);
    event.start = at(start);
    event.end = at(end);
    event.title = title;
    event.calendarID = "work";
    event.calendarColorHex = "#3B82F6";
    return event;
}

struct ShareFixture {
    QTemporaryDir folder;
    std::shared_ptr<ShareSource> source = std::make_shared<ShareSource>();
    std::shared_ptr<InMemoryUserDefaults> defaults = std::make_shared<InMemoryUserDefaults>();
    Date now = at("2025-03-03T08:00:00-08:00");  // a Monday morning
    TimeZone la = zone("America/Los_Angeles");
    std::unique_ptr<AvailabilityModel> model;
    std::vector<Sound> sounds;
    double soundClock = 0;

    ShareFixture()
    {
        source->all = {
            meeting("a", "Secret launch review", "2025-03-03T10:00:00-08:00",
                    "2025-03-03T11:00:00-08:00"),
            meeting("b", "Dentist", "2025-03-04T13:00:00-08:00", "2025-03-04T14:30:00-08:00")};
    }

    AvailabilityModel& make()
    {
        model = std::make_unique<AvailabilityModel>(
            source, std::make_shared<SettingsStore>(defaults),
            std::make_shared<AdjustmentsStore>((folder.path() + "/adjustments.json").toStdString()),
            [this] { return now; }, [this] { return la; });
        model->setSoundOutput(
            [this](Sound s, std::span<const std::uint8_t>) { sounds.push_back(s); },
            [this] { return soundClock += 1.0; });
        return *model;
    }

    // A model showing `days` days with rulers for these zones after the primary one.
    AvailabilityModel& make(int days, std::initializer_list<const char*> zones)
    {
        auto& m = make();
        m.setDayCount(days);
        for (const char* id : zones)
            m.addZone(id);
        sounds.clear();
        return m;
    }
};

}  // namespace nelvo::test
