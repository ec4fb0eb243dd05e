#include "kit/core/window_overrides.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace nelvo {
namespace {

using test::day;
using test::zone;

TEST(WindowOverrides, EditingKeepsOneEntryPerDayAndTheJsonForms)
{
    WindowOverrides overrides;
    const DailyWindow shared{540, 1020};
    overrides.set(WindowEdge::end, 1200, "2025-03-07");
    // Only the end replaced.
    EXPECT_EQ(overrides.effectiveWindow("2025-03-07", shared), (DailyWindow{540, 1200}));
    EXPECT_EQ(overrides.effectiveWindow("2025-03-08", shared), shared);
    EXPECT_FALSE(overrides.isOverridden(WindowEdge::start, "2025-03-07"));
    EXPECT_TRUE(overrides.isOverridden(WindowEdge::end, "2025-03-07"));
    // Set both, clear one by one: the entry goes with its last edge.
    overrides.set(WindowEdge::start, 600, "2025-03-10");
    overrides.set(WindowEdge::end, 1080, "2025-03-10");
    EXPECT_EQ(overrides.byDay.at("2025-03-10"), (DayOverride{600, 1080}));
    overrides.clear(WindowEdge::start, "2025-03-10");
    EXPECT_EQ(overrides.byDay.at("2025-03-10"), (DayOverride{std::nullopt, 1080}));
    overrides.clear(WindowEdge::end, "2025-03-10");
    EXPECT_FALSE(overrides.byDay.contains("2025-03-10"));
    EXPECT_EQ(overrides.toJson(), R"({"byDay":{"2025-03-07":{"end":1200}}})");
    // Clearing a day without an entry changes nothing.
    const WindowOverrides before = overrides;
    overrides.clear(WindowEdge::start, "2025-04-01");
    EXPECT_EQ(overrides, before);
    // Prune keeps the key itself and later ones.
    overrides.set(WindowEdge::start, 600, "2025-03-09");
    overrides.set(WindowEdge::start, 600, "2025-03-11");
    overrides.prune("2025-03-09");
    EXPECT_EQ(overrides.byDay.size(), 2u);
    // The documented example reads as documented.
    const auto decoded = WindowOverrides::fromJson(
        R"({"byDay": {"2025-03-07": {"start": 600}, "2025-03-10": {"start": 480, "end": 1200}}})");
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded.value->byDay.at("2025-03-07"), (DayOverride{600, std::nullopt}));
    EXPECT_EQ(decoded.value->byDay.at("2025-03-10"), (DayOverride{480, 1200}));
    // Empty object and empty entries.
    EXPECT_EQ(WindowOverrides::fromJson("{}").value, WindowOverrides{});
    const auto empty = WindowOverrides::fromJson(R"({"byDay": {"2025-03-07": {}}})").value;
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->effectiveWindow("2025-03-07", DailyWindow{}), DailyWindow{});
    EXPECT_FALSE(empty->isOverridden(WindowEdge::start, "2025-03-07"));
    // Integral floats are integers; anything else fails.
    EXPECT_EQ(WindowOverrides::fromJson(R"({"byDay": {"k": {"end": 600.0}}})").value->byDay.at("k"),
              (DayOverride{std::nullopt, 600}));
    for (const char* bad : {R"({"byDay": []})", R"({"byDay": {"k": {"end": 600.5}}})",
                            R"({"byDay": {"k": {"end": "600"}}})", R"({"byDay": {"k": 3}})",
                            R"({"byDay": {"k": {"end": 1e300}}})",
                            R"({"byDay": {"k": {"end": 18446744073709551615}}})"})
        EXPECT_FALSE(WindowOverrides::fromJson(bad)) << bad;
    // A daily window needs both members.
    EXPECT_FALSE(DailyWindow::fromJson(R"({"startMinutes": 540})"));
    EXPECT_FALSE(DailyWindow::fromJson(R"({"startMinutes": 540, "endMinutes": true})"));
    // An end before the start is stored unchanged.
    EXPECT_EQ(DailyWindow::fromJson(R"({"startMinutes": 1320, "endMinutes": 120})").value,
              (DailyWindow{1320, 120}));
    // 64-bit extremes survive a round trip.
    const DailyWindow extreme{INT64_MIN, INT64_MAX};
    EXPECT_EQ(DailyWindow::fromJson(extreme.toJson()).value, extreme);
}

}  // namespace
}  // namespace nelvo
