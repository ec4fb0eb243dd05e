// Zone search as the user types: one query over the whole catalog, then the rows a list
// shows first (name, country, zone and its offset). Budget: under 2 ms per keystroke.
#include "kit/core/date.h"
#include "kit/zones/zone_catalog.h"
#include "ui/controls/zone_search_results.h"

#include <benchmark/benchmark.h>

#include <QString>

namespace {

using nelvo::Date;
using nelvo::ZoneCatalog;
using nelvo::ZoneSearchResults;

const ZoneCatalog& catalog()
{
    static const ZoneCatalog shared = ZoneCatalog::system();
    return shared;
}

// Typing one query a letter at a time; each iteration is one keystroke.
void typing(benchmark::State& state, const char* query)
{
    ZoneSearchResults results(catalog(), [] { return Date{7.5e8}; });
    const QString text = QString::fromUtf8(query);
    int letter = 0;
    for (auto _ : state) {
        letter = letter % text.size() + 1;
        results.setQuery(text.left(letter));
        const int shown = std::min(results.rowCount(), 8);
        for (int row = 0; row < shown; ++row) {
            const QModelIndex index = results.index(row);
            benchmark::DoNotOptimize(results.data(index));
            benchmark::DoNotOptimize(results.data(index, ZoneSearchResults::CountryRole));
            benchmark::DoNotOptimize(results.data(index, ZoneSearchResults::OffsetRole));
        }
    }
    state.counters["zones"] = static_cast<double>(catalog().entries().size());
}

void BM_KeystrokeBerlin(benchmark::State& state)
{
    typing(state, "berlin");
}
void BM_KeystrokeNewYork(benchmark::State& state)
{
    typing(state, "new york");
}
void BM_KeystrokeZurichAccented(benchmark::State& state)
{
    typing(state, "Zürich");
}

// The worst case: a fresh list (every offset worked out anew) for a one-letter query that
// matches almost everything.
void BM_KeystrokeColdBroad(benchmark::State& state)
{
    for (auto _ : state) {
        ZoneSearchResults results(catalog(), [] { return Date{7.5e8}; });
        results.setQuery(QStringLiteral("a"));
        for (int row = 0; row < std::min(results.rowCount(), 8); ++row)
            benchmark::DoNotOptimize(
                results.data(results.index(row), ZoneSearchResults::OffsetRole));
    }
}

BENCHMARK(BM_KeystrokeBerlin)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeystrokeNewYork)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeystrokeZurichAccented)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeystrokeColdBroad)->Unit(benchmark::kMicrosecond);

}  // namespace
