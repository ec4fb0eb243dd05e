// What leaves the program on a copy, for 14 included days and 6 zones: the four flavours of
// Copy availability, the table's flavours, and the picture drawn and encoded as PNG.
#include "app/availability_model.h"
#include "app/event_source.h"
#include "kit/core/day_key.h"
#include "kit/store/adjustments_store.h"
#include "kit/store/in_memory_user_defaults.h"
#include "kit/store/settings_store.h"
#include "ui/share/availability_picture.h"
#include "ui/share/clipboard_content.h"

#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>

namespace {

using namespace nelvo;

// Fonts need an application object; no display is needed.
void ensureApplication()
{
    static int argc = 1;
    static char name[] = "ui_share_bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
}

class BusyWeeks : public EventSource {
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

// 14 days with weekends, 6 zones, meetings scattered so every day has several slots.
struct Setup {
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "nelvo-share-bench";
    std::unique_ptr<AvailabilityModel> model;

    Setup()
    {
        ensureApplication();
        const TimeZone la = *TimeZone::named("America/Los_Angeles");
        const Date first = *DayKey::date("2025-03-03", la);
        auto source = std::make_shared<BusyWeeks>();
        std::mt19937 random(11);
        std::uniform_int_distribution<int> quarter(9 * 4, 16 * 4);
        for (int day = 0; day < 20; ++day) {
            for (int i = 0; i < 4; ++i) {
                CalendarEvent event;
                event.eventID = "event-" + std::to_string(day) + "-" + std::to_string(i);
                event.start = first.addingSeconds(day * 86400.0 + quarter(random) * 900.0);
                event.occurrenceStart = event.start;
                event.end = event.start.addingSeconds(1800);
                event.calendarID = "work";
                source->all.push_back(event);
            }
        }
        std::filesystem::remove_all(folder);
        Settings settings = Settings::initial(la);
        settings.dayCount = 14;
        for (const char* id : {"Europe/Berlin", "Asia/Kolkata", "Asia/Tokyo", "America/New_York",
                               "Australia/Sydney"})
            settings.addZone(id);
        auto defaults = std::make_shared<InMemoryUserDefaults>();
        SettingsStore(defaults).save(settings);
        Adjustments adjustments;
        adjustments.exclusions.saturdaysOff = false;
        adjustments.exclusions.sundaysOff = false;
        auto store = std::make_shared<AdjustmentsStore>(folder / "adjustments.json");
        store->save(adjustments);
        model = std::make_unique<AvailabilityModel>(
            source, std::make_shared<SettingsStore>(defaults), store,
            [first] { return first.addingSeconds(7 * 3600); }, [la] { return la; });
    }
    ~Setup() { std::filesystem::remove_all(folder); }
};

void BM_CopyAvailabilityFlavours(benchmark::State& state)
{
    Setup setup;
    for (auto _ : state) {
        auto data = ClipboardContent::availability(*setup.model);
        benchmark::DoNotOptimize(data);
    }
    state.counters["slots"] = static_cast<double>(setup.model->slots().size());
    state.counters["zones"] = static_cast<double>(setup.model->table().zoneLabels.size());
}
BENCHMARK(BM_CopyAvailabilityFlavours)->Unit(benchmark::kMillisecond);

void BM_CopyTableFlavours(benchmark::State& state)
{
    Setup setup;
    const TimeZone la = *TimeZone::named("America/Los_Angeles");
    for (auto _ : state) {
        auto data = ClipboardContent::table(*setup.model, la);
        benchmark::DoNotOptimize(data);
    }
}
BENCHMARK(BM_CopyTableFlavours)->Unit(benchmark::kMillisecond);

void BM_PicturePng(benchmark::State& state)
{
    Setup setup;
    const double scale = static_cast<double>(state.range(0));
    std::size_t bytes = 0;
    for (auto _ : state) {
        const auto png = ClipboardContent::pictureOf(*setup.model).png(scale);
        bytes = png ? static_cast<std::size_t>(png->size()) : 0;
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["png_kB"] = static_cast<double>(bytes) / 1024;
}
BENCHMARK(BM_PicturePng)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

void BM_PictureDrawOnly(benchmark::State& state)
{
    Setup setup;
    for (auto _ : state) {
        const QImage image = ClipboardContent::pictureOf(*setup.model).image(1);
        benchmark::DoNotOptimize(image.width());
    }
}
BENCHMARK(BM_PictureDrawOnly)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

void BM_EncodeOnly(benchmark::State& state)
{
    Setup setup;
    const QImage image = ClipboardContent::pictureOf(*setup.model).image(1);
    for (auto _ : state) {
        const auto png = AvailabilityPicture::encode(image, "png");
        benchmark::DoNotOptimize(png);
    }
    state.counters["pixels_k"] = image.width() * image.height() / 1000.0;
}
BENCHMARK(BM_EncodeOnly)->Unit(benchmark::kMillisecond);

}  // namespace
