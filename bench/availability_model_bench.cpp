// The model's pipeline: recompute() with 14 included days, 1,000 events in the fetch window,
// 30 reserved blocks and 6 zones; and one movement of a bar drag.
#include "app/availability_model.h"
#include "app/event_source.h"
#include "kit/core/day_key.h"
#include "kit/store/adjustments_store.h"
#include "kit/store/in_memory_user_defaults.h"
#include "kit/store/settings_store.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

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

struct Setup {
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "nelvo-model-bench";
    std::unique_ptr<AvailabilityModel> model;

    Setup()
    {
        const TimeZone la = *TimeZone::named("America/Los_Angeles");
        const Date first = *DayKey::date("2025-03-03", la);
        auto source = std::make_shared<ManyEvents>();
        std::mt19937 random(7);
        std::uniform_int_distribution<int> quarter(0, 30 * 96);
        for (int i = 0; i < 1000; ++i) {
            CalendarEvent event;
            event.eventID = "event-" + std::to_string(i);
            event.start = first.addingSeconds(quarter(random) * 900.0);
            event.occurrenceStart = event.start;
            event.end = event.start.addingSeconds(3600);
            event.calendarID = "work";
            source->all.push_back(event);
        }
        Adjustments adjustments;
        for (int i = 0; i < 30; ++i) {
            const Date start = first.addingSeconds(i * 86400.0 + 12 * 3600);
            adjustments.reserved.push_back({Uuid::random(), start, start.addingSeconds(1800)});
        }
        std::filesystem::remove_all(folder);
        auto store = std::make_shared<AdjustmentsStore>(folder / "adjustments.json");
        store->save(adjustments);

        Settings settings = Settings::initial(la);
        settings.dayCount = 14;
        for (const char* id : {"Europe/Berlin", "Asia/Kolkata", "Asia/Tokyo", "America/New_York",
                               "Australia/Sydney"})
            settings.addZone(id);
        auto defaults = std::make_shared<InMemoryUserDefaults>();
        SettingsStore(defaults).save(settings);

        model = std::make_unique<AvailabilityModel>(
            source, std::make_shared<SettingsStore>(defaults), store,
            [first] { return first.addingSeconds(8 * 3600); }, [la] { return la; });
    }
    ~Setup() { std::filesystem::remove_all(folder); }
};

void BM_Recompute(benchmark::State& state)
{
    Setup setup;
    for (auto _ : state)
        setup.model->recompute();
    state.counters["slots"] = static_cast<double>(setup.model->slots().size());
}
BENCHMARK(BM_Recompute)->Unit(benchmark::kMicrosecond);

void BM_DragMovement(benchmark::State& state)
{
    Setup setup;
    setup.model->beginEdgeDrag();
    int step = 0;
    for (auto _ : state) {
        // Back and forth over 100 quarter hours of the evening.
        const int offset = step % 200 < 100 ? step % 100 : 99 - step % 100;
        setup.model->setSharedEdge(WindowEdge::end, 17 * 60 + offset * 15 % 360);
        ++step;
    }
    setup.model->endEdgeDrag();
}
BENCHMARK(BM_DragMovement)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
