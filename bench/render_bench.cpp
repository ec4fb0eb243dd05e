// Rendering every output of one recompute: 14 days, 4 slots a day, 6 zones.

#include "kit/core/calendar.h"
#include "kit/render/chat_renderer.h"
#include "kit/render/email_renderer.h"
#include "kit/render/html_renderer.h"
#include "kit/render/markdown_renderer.h"
#include "kit/render/message_layout.h"
#include "kit/render/rtf_renderer.h"
#include "kit/render/table_builder.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace nelvo {
namespace {

TimeZone zoneNamed(const char* id)
{
    return TimeZone::named(id).value_or(TimeZone::utc());
}

struct Fixture {
    std::vector<Slot> slots;
    RenderOptions options;
};

// Four slots a day in Los Angeles, the last one crossing midnight.
const Fixture& fixture()
{
    static const Fixture value = [] {
        Fixture f;
        const TimeZone primary = zoneNamed("America/Los_Angeles");
        const Calendar calendar(primary);
        const int times[4][2] = {
            {9 * 60, 10 * 60 + 30}, {11 * 60, 12 * 60}, {13 * 60, 15 * 60}, {22 * 60, 25 * 60}};
        for (int day = 0; day < 14; ++day) {
            const Date midnight = calendar.date(2025, 3, 3 + day).value_or(Date{});
            for (const auto& [start, end] : times)
                f.slots.push_back(Slot{.start = midnight.addingSeconds(start * 60.0),
                                       .end = midnight.addingSeconds(end * 60.0)});
        }
        f.options.primary = primary;
        for (const auto& [id, label] : {std::pair{"America/Los_Angeles", "Pacific"},
                                        {"America/New_York", "New York"},
                                        {"Europe/London", "London"},
                                        {"Europe/Berlin", "Berlin"},
                                        {"Asia/Kolkata", "India"},
                                        {"Asia/Tokyo", "Tokyo"}})
            f.options.zones.push_back(RenderZone{.zone = zoneNamed(id), .label = label});
        f.options.heading = "My availability";
        f.options.dateRange = std::pair{f.slots.front().start, f.slots.back().start};
        return f;
    }();
    return value;
}

// What one copy, share and save of everything asks for: the layout and the table built once,
// then every format laid out from them.
void BM_AllOutputs(benchmark::State& state)
{
    const Fixture& f = fixture();
    for (auto _ : state) {
        const MessageLayout layout = MessageLayout::build(f.slots, f.options);
        const RenderedTable table = TableBuilder::build(f.slots, f.options);
        benchmark::DoNotOptimize(ChatRenderer::render(layout));
        benchmark::DoNotOptimize(MarkdownRenderer::render(layout));
        benchmark::DoNotOptimize(HTMLRenderer::document(HTMLRenderer::render(layout)));
        benchmark::DoNotOptimize(MarkdownRenderer::render(table));
        benchmark::DoNotOptimize(HTMLRenderer::document(HTMLRenderer::render(table)));
        benchmark::DoNotOptimize(EmailRenderer::render(table));
        benchmark::DoNotOptimize(RTFRenderer::render(layout));
        benchmark::DoNotOptimize(RTFRenderer::render(table));
    }
}
BENCHMARK(BM_AllOutputs)->Unit(benchmark::kMicrosecond);

// The same outputs, each built from the slots on its own, as on-demand texts would be.
void BM_AllOutputsEachFromSlots(benchmark::State& state)
{
    const Fixture& f = fixture();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ChatRenderer::render(f.slots, f.options));
        benchmark::DoNotOptimize(MarkdownRenderer::render(f.slots, f.options));
        benchmark::DoNotOptimize(HTMLRenderer::render(f.slots, f.options));
        benchmark::DoNotOptimize(MarkdownRenderer::render(TableBuilder::build(f.slots, f.options)));
        benchmark::DoNotOptimize(HTMLRenderer::renderTable(f.slots, f.options));
        benchmark::DoNotOptimize(EmailRenderer::render(TableBuilder::build(f.slots, f.options)));
        benchmark::DoNotOptimize(RTFRenderer::render(f.slots, f.options));
        benchmark::DoNotOptimize(RTFRenderer::renderTable(f.slots, f.options));
    }
}
BENCHMARK(BM_AllOutputsEachFromSlots)->Unit(benchmark::kMicrosecond);

void BM_MessageLayout(benchmark::State& state)
{
    const Fixture& f = fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(MessageLayout::build(f.slots, f.options));
}
BENCHMARK(BM_MessageLayout)->Unit(benchmark::kMicrosecond);

void BM_TableBuilder(benchmark::State& state)
{
    const Fixture& f = fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(TableBuilder::build(f.slots, f.options));
}
BENCHMARK(BM_TableBuilder)->Unit(benchmark::kMicrosecond);

// Laying out alone, from a built layout and table.
void BM_LayoutOnly(benchmark::State& state)
{
    const Fixture& f = fixture();
    const MessageLayout layout = MessageLayout::build(f.slots, f.options);
    const RenderedTable table = TableBuilder::build(f.slots, f.options);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ChatRenderer::render(layout));
        benchmark::DoNotOptimize(MarkdownRenderer::render(layout));
        benchmark::DoNotOptimize(HTMLRenderer::render(layout));
        benchmark::DoNotOptimize(MarkdownRenderer::render(table));
        benchmark::DoNotOptimize(HTMLRenderer::render(table));
        benchmark::DoNotOptimize(EmailRenderer::render(table));
        benchmark::DoNotOptimize(RTFRenderer::render(layout));
        benchmark::DoNotOptimize(RTFRenderer::render(table));
    }
}
BENCHMARK(BM_LayoutOnly)->Unit(benchmark::kMicrosecond);

// Each format on its own, from a built layout or table.
template <typename Render>
void layOut(benchmark::State& state, Render render)
{
    const Fixture& f = fixture();
    const MessageLayout layout = MessageLayout::build(f.slots, f.options);
    const RenderedTable table = TableBuilder::build(f.slots, f.options);
    for (auto _ : state)
        benchmark::DoNotOptimize(render(layout, table));
}
BENCHMARK_CAPTURE(layOut, chat, [](auto& l, auto&) { return ChatRenderer::render(l); });
BENCHMARK_CAPTURE(layOut, markdown, [](auto& l, auto&) { return MarkdownRenderer::render(l); });
BENCHMARK_CAPTURE(layOut, html, [](auto& l, auto&) { return HTMLRenderer::render(l); });
BENCHMARK_CAPTURE(layOut, rtf, [](auto& l, auto&) { return RTFRenderer::render(l); });
BENCHMARK_CAPTURE(layOut, tableMarkdown,
                  [](auto&, auto& t) { return MarkdownRenderer::render(t); });
BENCHMARK_CAPTURE(layOut, tableHtml, [](auto&, auto& t) { return HTMLRenderer::render(t); });
BENCHMARK_CAPTURE(layOut, email, [](auto&, auto& t) { return EmailRenderer::render(t); });
BENCHMARK_CAPTURE(layOut, tableRtf, [](auto&, auto& t) { return RTFRenderer::render(t); });

}  // namespace
}  // namespace nelvo
