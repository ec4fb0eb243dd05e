// One drag movement of a day's end bar on the canvas: 14 days, 6 zones, 1,000 events. Each
// iteration is a mouse move through the model's recompute to the repainted columns; the
// median of the iterations is printed as median_ms.
#include "app/availability_model.h"
#include "app/event_source.h"
#include "kit/core/day_key.h"
#include "kit/store/adjustments_store.h"
#include "kit/store/in_memory_user_defaults.h"
#include "kit/store/settings_store.h"
#include "ui/canvas/cutoff_bar_view.h"
#include "ui/canvas/day_column_view.h"
#include "ui/canvas/main_view.h"
#include "ui/canvas/motion.h"

#include <QApplication>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>

namespace {

using namespace nelvo;

class ManyEvents : public EventSource {
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

struct Canvas {
    // The model saves the adjustments on every movement of a day's bar; on a memory file
    // system that costs nothing, so the figure is the canvas's and not the disk's.
    std::filesystem::path folder =
        (std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                   : std::filesystem::temp_directory_path()) /
        "nelvo-canvas-bench";
    std::shared_ptr<InMemoryUserDefaults> defaults = std::make_shared<InMemoryUserDefaults>();
    std::unique_ptr<AvailabilityModel> model;
    std::unique_ptr<MainView> view;

    Canvas()
    {
        const TimeZone la = *TimeZone::named("America/Los_Angeles");
        const Date first = *DayKey::date("2025-03-03", la);
        auto source = std::make_shared<ManyEvents>();
        std::mt19937 random(7);
        std::uniform_int_distribution<int> quarter(0, 30 * 96);
        for (int i = 0; i < 1000; ++i) {
            CalendarEvent event;
            event.eventID = "event-" + std::to_string(i);
            event.title = "Meeting";
            event.start = first.addingSeconds(quarter(random) * 900.0);
            event.occurrenceStart = event.start;
            event.end = event.start.addingSeconds(3600);
            event.calendarID = "work";
            source->all.push_back(event);
        }
        std::filesystem::remove_all(folder);
        auto store = std::make_shared<AdjustmentsStore>(folder / "adjustments.json");
        Settings settings = Settings::initial(la);
        settings.dayCount = 14;
        for (const char* id : {"Europe/Berlin", "Asia/Kolkata", "Asia/Tokyo", "America/New_York",
                               "Australia/Sydney"})
            settings.addZone(id);
        SettingsStore(defaults).save(settings);
        model = std::make_unique<AvailabilityModel>(
            source, std::make_shared<SettingsStore>(defaults), store,
            [first] { return first.addingSeconds(8 * 3600); }, [la] { return la; });
        view = std::make_unique<MainView>(*model, *defaults);
        view->resize(1600, 900);
        view->show();
        (void)QTest::qWaitForWindowExposed(view.get());
        QCoreApplication::processEvents();
    }
    ~Canvas()
    {
        view.reset();
        model.reset();
        std::filesystem::remove_all(folder);
    }
};

void BM_CanvasDragMovement(benchmark::State& state)
{
    Canvas canvas;
    auto* bar = canvas.view->columns().front()->bar(WindowEdge::end);
    const QPoint origin = bar->mapToGlobal(QPoint(bar->width() / 2, bar->height() / 2));
    const double quarter = canvas.view->effectiveZoom() / 4;
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, bar->mapFromGlobal(origin));
    std::vector<double> durations;
    int step = 0;
    for (auto _ : state) {
        // Down and back over eight quarter hours, so every movement changes the window.
        const int offset = step % 16 < 8 ? step % 8 + 1 : 8 - step % 8;
        ++step;
        const QPoint to = origin + QPoint(0, static_cast<int>(offset * quarter));
        const auto begin = std::chrono::steady_clock::now();
        QTest::mouseMove(bar, bar->mapFromGlobal(to));
        QCoreApplication::processEvents();
        durations.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin)
                .count());
    }
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, bar->mapFromGlobal(origin));
    std::sort(durations.begin(), durations.end());
    if (!durations.empty())
        state.counters["median_ms"] = durations[durations.size() / 2];
}
BENCHMARK(BM_CanvasDragMovement)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    Motion::setForcedOff(true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
