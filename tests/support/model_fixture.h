#pragma once

#include "app/availability_model.h"
#include "app/event_source.h"
#include "app/undo_stack_history.h"
#include "kit/core/day_key.h"
#include "kit/store/adjustments_store.h"
#include "kit/store/in_memory_user_defaults.h"
#include "kit/store/settings_store.h"

#include "support/meeting.h"
#include "support/temp_folder.h"
#include "support/time_helpers.h"

#include <QUndoStack>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace nelvo::test {

// Two accounts, one of them with a subscribed calendar, and the events the test puts in
// `all`. It counts its fetches and keeps the windows asked for.
class FakeSource : public EventSource {
public:
    bool access = true;
    bool complete = true;
    std::vector<CalendarInfo> calendarList{
        {"work", "Work", "Office", "#3B82F6", false},
        {"holidays", "Holidays", "Office", "#10B981", true},
        {"home", "Family", "Home", "#F97316", false},
    };
    std::vector<CalendarEvent> all;
    std::vector<SourceProblem> problems;
    std::vector<CalendarState> states;
    std::vector<std::string> accounts;  // the accounts' own addresses
    std::vector<AnsweredAddress> answered;
    int fetches = 0;
    std::vector<std::pair<Date, Date>> windows;
    std::function<void()> changed;

    bool hasAccess() const override { return access; }
    std::vector<CalendarInfo> calendars() override { return calendarList; }
    std::vector<CalendarEvent> events(Date from, Date to) override
    {
        ++fetches;
        windows.emplace_back(from, to);
        std::vector<CalendarEvent> result;
        for (const auto& event : all)
            if (event.start < to && event.end > from)
                result.push_back(event);
        return result;
    }
    void observeChanges(std::function<void()> handler) override { changed = std::move(handler); }
    bool isLastFetchComplete() const override { return complete; }
    std::vector<SourceProblem> lastFetchProblems() const override { return problems; }
    std::vector<CalendarState> lastFetchStates() const override { return states; }
    std::vector<std::string> accountAddresses() const override { return accounts; }
    std::vector<AnsweredAddress> answeredAddresses() const override { return answered; }
};

// A model in Los Angeles on Monday 2025-03-03 at 08:00 over a fake source, in-memory
// defaults and a private adjustments file, with a clock the test moves, an undo stack and a
// record of the sounds played.
struct ModelFixture {
    TempFolder folder{"nelvo-model"};
    std::shared_ptr<FakeSource> source = std::make_shared<FakeSource>();
    std::shared_ptr<InMemoryUserDefaults> defaults = std::make_shared<InMemoryUserDefaults>();
    std::shared_ptr<AdjustmentsStore> adjustmentsStore =
        std::make_shared<AdjustmentsStore>(folder / "adjustments.json");
    Date now = at("2025-03-03T08:00:00-08:00");
    TimeZone la = zone("America/Los_Angeles");
    QUndoStack undo;
    std::vector<Sound> sounds;
    double soundClock = 0;
    std::unique_ptr<AvailabilityModel> model;  // last: it goes before what it uses

    AvailabilityModel& make()
    {
        model = std::make_unique<AvailabilityModel>(
            source, std::make_shared<SettingsStore>(defaults), adjustmentsStore,
            [this] { return now; }, [this] { return la; });
        model->setUndoHistory(UndoStackHistory::on(undo));
        model->setSoundOutput(
            [this](Sound s, std::span<const std::uint8_t>) { sounds.push_back(s); },
            [this] { return soundClock += 1.0; });
        return *model;
    }

    std::string keyOf(Date d) const { return DayKey::string(d, la); }
};

}  // namespace nelvo::test
