// AvailabilityEngine::slots over 28 days with 2,000 unsorted, overlapping busy intervals.
#include "kit/core/availability_engine.h"
#include "kit/core/day_key.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

using namespace nelvo;

void BM_Slots28Days2000Busy(benchmark::State& state)
{
    const TimeZone zone = *TimeZone::named("America/Los_Angeles");
    const Date first = *DayKey::date("2025-03-03", zone);  // spans the spring-forward day
    std::mt19937 random(42);
    std::uniform_real_distribution<double> offset(0, 28 * 86400.0);
    std::uniform_int_distribution<int> length(1, 8);
    std::vector<BusyInterval> busy;
    for (int i = 0; i < 2000; ++i) {
        const Date start = first.addingSeconds(std::floor(offset(random) / 300) * 300);
        busy.push_back({start, start.addingSeconds(length(random) * 900.0)});
    }
    AvailabilityRequest request;
    request.rangeStart = first;
    request.dayCount = 28;
    request.zone = zone;
    request.exclusions.toggled = {"2025-03-05", "2025-03-15"};
    request.overrides.set(WindowEdge::end, 1200, "2025-03-10");
    request.now = first.addingSeconds(10 * 3600 + 7 * 60);
    for (auto _ : state)
        benchmark::DoNotOptimize(AvailabilityEngine::slots(busy, request));
}
BENCHMARK(BM_Slots28Days2000Busy)->Unit(benchmark::kMicrosecond);

}  // namespace
