// What leaves the program on a copy, for 14 included days and 6 zones: the four flavours of
// Copy availability, the table's flavours, and the picture drawn and encoded as PNG.
#include "ui/share/availability_picture.h"
#include "ui/share/clipboard_content.h"

#include "support/bench_model.h"

#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <benchmark/benchmark.h>

#include <cstdlib>
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

// 14 days with weekends, 6 zones, meetings scattered so every day has several slots.
struct Setup : bench::BenchModel {
    Setup()
        : BenchModel(std::filesystem::temp_directory_path() / "nelvo-share-bench", meetings(),
                     weekendsOn(), 7)
    {
    }
    static std::vector<CalendarEvent> meetings()
    {
        ensureApplication();
        std::vector<CalendarEvent> all;
        std::mt19937 random(11);
        std::uniform_int_distribution<int> quarter(9 * 4, 16 * 4);
        for (int day = 0; day < 20; ++day)
            for (int i = 0; i < 4; ++i)
                all.push_back(bench::workEvent(
                    "event-" + std::to_string(day) + "-" + std::to_string(i),
                    bench::firstDay().addingSeconds(day * 86400.0 + quarter(random) * 900.0),
                    1800));
        return all;
    }
    static Adjustments weekendsOn()
    {
        Adjustments adjustments;
        adjustments.exclusions.saturdaysOff = false;
        adjustments.exclusions.sundaysOff = false;
        return adjustments;
    }
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
    for (auto _ : state) {
        auto data = ClipboardContent::table(*setup.model);
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
