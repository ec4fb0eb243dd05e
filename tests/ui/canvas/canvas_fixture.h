#pragma once

#include "app/availability_model.h"
#include "app/event_source.h"
#include "kit/store/adjustments_store.h"
#include "kit/store/in_memory_user_defaults.h"
#include "kit/store/settings_store.h"
#include "ui/canvas/day_column_view.h"
#include "ui/canvas/main_view.h"
#include "ui/canvas/motion.h"

#include "support/time_helpers.h"

#include <QTest>
#include <QUndoStack>

#include <filesystem>
#include <memory>

namespace nelvo::test {

// A fixed calendar: what the test puts in `all`.
class FixedSource : public EventSource {
public:
    std::vector<CalendarInfo> calendarList{{"work", "Work", "Office", "#3B82F6", false},
                                           {"home", "Home", "Me", "#F59E0B", false}};
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

inline CalendarEvent meeting(const char* id, const char* start, const char* end,
                             const char* title = "Planning", const char* calendar = "work")
{
    CalendarEvent event;
    event.eventID = id;
    event.occurrenceStart = at(start);
    event.start = at(start);
    event.end = at(end);
    event.title = title;
    event.calendarID = calendar;
    event.calendarColorHex = "#3B82F6";
    return event;
}

// A canvas over a model in Los Angeles on Monday 2025-03-03 at 08:00, with in-memory defaults,
// a temporary adjustments file and an undo stack. `make()` builds the model and the view at
// 900 × (52 + 600), so the hours 8 to 18 fit at 59.2 points per hour.
struct CanvasFixture {
    std::filesystem::path folder;
    std::shared_ptr<FixedSource> source = std::make_shared<FixedSource>();
    std::shared_ptr<InMemoryUserDefaults> defaults = std::make_shared<InMemoryUserDefaults>();
    std::shared_ptr<AdjustmentsStore> adjustmentsStore;
    Date now = at("2025-03-03T08:00:00-08:00");
    TimeZone la = zone("America/Los_Angeles");
    Settings settings = Settings::initial(zone("America/Los_Angeles"));
    QUndoStack undo;
    std::unique_ptr<AvailabilityModel> model;
    std::unique_ptr<MainView> view;

    CanvasFixture()
    {
        Motion::setForcedOff(true);
        folder = std::filesystem::temp_directory_path() /
                 ("nelvo-canvas-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        std::filesystem::remove_all(folder);
        adjustmentsStore = std::make_shared<AdjustmentsStore>(folder / "adjustments.json");
    }
    ~CanvasFixture()
    {
        view.reset();
        model.reset();
        std::filesystem::remove_all(folder);
    }

    MainView& make(QSize size = {900, 652})
    {
        SettingsStore(defaults).save(settings);
        model = std::make_unique<AvailabilityModel>(
            source, std::make_shared<SettingsStore>(defaults), adjustmentsStore,
            [this] { return now; }, [this] { return la; });
        model->setUndoStack(&undo);
        view = std::make_unique<MainView>(*model, *defaults);
        view->resize(size);
        view->show();
        QCoreApplication::processEvents();
        return *view;
    }

    DayColumnView& column(std::size_t index) { return *view->columns().at(index); }
    std::string key(std::size_t index) const { return model->days().at(index).id; }
};

// A press, moves in steps and a release, as a user drags: the pointer travels `by` on the
// screen even when the widget moves under it.
inline void drag(QWidget* widget, QPoint from, QPoint by, int steps = 4)
{
    const QPoint origin = widget->mapToGlobal(from);
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, from);
    for (int i = 1; i <= steps; ++i)
        QTest::mouseMove(widget, widget->mapFromGlobal(origin + by * i / steps));
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, widget->mapFromGlobal(origin + by));
}

}  // namespace nelvo::test
