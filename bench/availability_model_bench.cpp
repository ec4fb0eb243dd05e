// The model's pipeline: recompute() with 14 included days, 1,000 events in the fetch window,
// 30 reserved blocks and 6 zones; and one movement of a bar drag.
#include "support/bench_model.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <random>

namespace {

using namespace nelvo;
using bench::firstDay;

struct Setup : bench::BenchModel {
    Setup()
        : BenchModel(std::filesystem::temp_directory_path() / "nelvo-model-bench", events(),
                     reserved(), 8)
    {
    }
    static std::vector<CalendarEvent> events()
    {
        std::vector<CalendarEvent> all;
        std::mt19937 random(7);
        std::uniform_int_distribution<int> quarter(0, 30 * 96);
        for (int i = 0; i < 1000; ++i)
            all.push_back(bench::workEvent("event-" + std::to_string(i),
                                           firstDay().addingSeconds(quarter(random) * 900.0),
                                           3600));
        return all;
    }
    static Adjustments reserved()
    {
        Adjustments adjustments;
        for (int i = 0; i < 30; ++i) {
            const Date start = firstDay().addingSeconds(i * 86400.0 + 12 * 3600);
            adjustments.reserved.push_back({Uuid::random(), start, start.addingSeconds(1800)});
        }
        return adjustments;
    }
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
