// One drag movement of a day's end bar on the canvas: 14 days, 6 zones, 1,000 events. Each
// iteration is a mouse move through the model's recompute to the repainted columns; the
// median of the iterations is printed as median_ms.
#include "ui/canvas/cutoff_bar_view.h"
#include "ui/canvas/day_column_view.h"
#include "ui/canvas/main_view.h"
#include "ui/canvas/motion.h"
#include "ui/share/preview_panel.h"

#include "support/bench_model.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <random>

namespace {

using namespace nelvo;

std::vector<CalendarEvent> meetings()
{
    std::vector<CalendarEvent> all;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> quarter(0, 30 * 96);
    for (int i = 0; i < 1000; ++i) {
        all.push_back(bench::workEvent("event-" + std::to_string(i),
                                       bench::firstDay().addingSeconds(quarter(random) * 900.0),
                                       3600));
        all.back().title = "Meeting";
    }
    return all;
}

// The model saves the adjustments on every movement of a day's bar; on a memory file system
// that costs nothing, so the figure is the canvas's and not the disk's.
std::filesystem::path memoryFolder()
{
    return (std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                      : std::filesystem::temp_directory_path()) /
           "nelvo-canvas-bench";
}

// The canvas, and with `withPreview` the preview panel beside it, which follows every change.
struct Canvas : bench::BenchModel {
    std::unique_ptr<QWidget> window;
    MainView* view = nullptr;

    explicit Canvas(bool withPreview) : BenchModel(memoryFolder(), meetings(), std::nullopt, 8)
    {
        window = std::make_unique<QWidget>();
        auto* row = new QHBoxLayout(window.get());
        view = new MainView(*model, *defaults, window.get());
        row->addWidget(view, 1);
        if (withPreview)
            row->addWidget(new PreviewPanel(*model, window.get()));
        window->resize(withPreview ? 1900 : 1600, 900);
        window->show();
        (void)QTest::qWaitForWindowExposed(window.get());
        QCoreApplication::processEvents();
    }
    ~Canvas() { window.reset(); }
};

void BM_CanvasDragMovement(benchmark::State& state)
{
    Canvas canvas(state.range(0) != 0);
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
// 0: the canvas alone; 1: with the preview panel open.
BENCHMARK(BM_CanvasDragMovement)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

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
