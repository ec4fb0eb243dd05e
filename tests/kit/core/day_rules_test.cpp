#include "kit/core/day_exclusions.h"
#include "kit/core/included_days.h"
#include "kit/core/window_overrides.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::day;
using test::zone;

TEST(IncludedDays, CountsIncludedDaysWithinTheCap)
{
    const TimeZone berlin = zone("Europe/Berlin");
    const DayExclusions weekendsOff;
    // Friday with two days wanted: Friday and Monday, four calendar days.
    EXPECT_EQ(IncludedDays::span(day("2025-03-07", berlin), 2, weekendsOff, berlin),
              (IncludedSpan{4, {"2025-03-07", "2025-03-10"}}));
    // Saturday with one day wanted: Monday, three calendar days.
    EXPECT_EQ(IncludedDays::span(day("2025-03-08", berlin), 1, weekendsOff, berlin),
              (IncludedSpan{3, {"2025-03-10"}}));
    // A toggled Saturday is included; a toggled Tuesday excluded.
    DayExclusions toggled;
    toggled.toggled = {"2025-03-08", "2025-03-11"};
    EXPECT_EQ(IncludedDays::span(day("2025-03-07", berlin), 3, toggled, berlin),
              (IncludedSpan{4, {"2025-03-07", "2025-03-08", "2025-03-10"}}));
    // A day the zone skipped counts as a calendar day and is never included.
    const TimeZone apia = zone("Pacific/Apia");
    EXPECT_EQ(IncludedDays::span(day("2011-12-28", apia), 4, DayExclusions{false, false, {}}, apia),
              (IncludedSpan{5, {"2011-12-28", "2011-12-29", "2011-12-31", "2012-01-01"}}));
    // Nothing wanted, or no cap: nothing.
    EXPECT_EQ(IncludedDays::span(day("2025-03-07", berlin), 0, weekendsOff, berlin), IncludedSpan{});
    EXPECT_EQ(IncludedDays::span(day("2025-03-07", berlin), 3, weekendsOff, berlin, -1),
              IncludedSpan{});
    // Weekends off and every weekday toggled off: the cap, and no keys.
    DayExclusions allOff;
    for (int d = 3; d <= 31; ++d) {
        char key[16];
        std::snprintf(key, sizeof key, "2025-03-%02d", d);
        const int weekday = *DayKey::weekday(key);
        if (weekday != 1 && weekday != 7)
            allOff.toggled.insert(key);
    }
    EXPECT_EQ(IncludedDays::span(day("2025-03-03", berlin), 5, allOff, berlin),
              (IncludedSpan{IncludedDays::lookAheadCap, {}}));
}

TEST(DayExclusions, EditsAndTheWeekendSwitch)
{
    DayExclusions exclusions;
    // Weekend flag exclusive-or toggle.
    EXPECT_TRUE(exclusions.isExcluded("2025-03-08", 7));
    EXPECT_FALSE(exclusions.isExcluded("2025-03-05", 4));
    exclusions.toggleOnce("2025-03-08");
    exclusions.toggleOnce("2025-03-05");
    EXPECT_FALSE(exclusions.isExcluded("2025-03-08", 7));
    EXPECT_TRUE(exclusions.isExcluded("2025-03-05", 4));
    // Toggling twice gives back the set.
    exclusions.toggleOnce("2025-03-12");
    exclusions.toggleOnce("2025-03-12");
    EXPECT_EQ(exclusions.toggled, (std::set<std::string>{"2025-03-05", "2025-03-08"}));
    // The weekend switch forgets weekend toggles, keeps weekdays and unparsable keys.
    exclusions.toggled.insert("not-a-day");
    exclusions.setWeekendsOff(false);
    EXPECT_FALSE(exclusions.saturdaysOff);
    EXPECT_FALSE(exclusions.sundaysOff);
    EXPECT_EQ(exclusions.toggled, (std::set<std::string>{"2025-03-05", "not-a-day"}));
    // Prune keeps the key itself and later ones.
    exclusions.toggled = {"2025-03-09", "2025-03-10", "2025-03-11"};
    exclusions.prune("2025-03-10");
    EXPECT_EQ(exclusions.toggled, (std::set<std::string>{"2025-03-10", "2025-03-11"}));
    // The derived flag.
    exclusions.saturdaysOff = true;
    EXPECT_FALSE(exclusions.weekendsOff());
    exclusions.sundaysOff = true;
    EXPECT_TRUE(exclusions.weekendsOff());
}

TEST(DayExclusions, JsonFormAndItsLegacyMember)
{
    auto decode = [](const char* json) { return DayExclusions::fromJson(json).value; };
    // The legacy member is the fallback of both switches; a present switch wins.
    EXPECT_EQ(decode(R"({"weekendsOff": false})"),
              (DayExclusions{.saturdaysOff = false, .sundaysOff = false, .toggled = {}}));
    EXPECT_EQ(decode("{}"), DayExclusions{});
    EXPECT_EQ(decode(R"({"weekendsOff": false, "saturdaysOff": true})"),
              (DayExclusions{.saturdaysOff = true, .sundaysOff = false, .toggled = {}}));
    EXPECT_EQ(decode(R"({"toggled": ["2025-03-08"], "sundaysOff": null})")->toggled,
              std::set<std::string>{"2025-03-08"});
    // Wrong types fail the decode.
    for (const char* bad : {R"({"saturdaysOff": 1})", R"({"toggled": "2025-03-08"})",
                            R"({"toggled": [3]})", R"({"weekendsOff": "no"})", "[]", "{", ""})
        EXPECT_FALSE(DayExclusions::fromJson(bad)) << bad;
    // Encoding never writes the legacy member, and reads back equal.
    DayExclusions exclusions{.saturdaysOff = false, .sundaysOff = true, .toggled = {"2025-03-05"}};
    EXPECT_EQ(exclusions.toJson(),
              R"({"saturdaysOff":false,"sundaysOff":true,"toggled":["2025-03-05"]})");
    EXPECT_EQ(decode(exclusions.toJson().c_str()), exclusions);
}

TEST(WindowOverrides, EditingKeepsOneEntryPerDay)
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
    overrides.prune("2025-03-10");
    EXPECT_EQ(overrides.byDay.size(), 1u);
}

TEST(WindowOverrides, JsonForm)
{
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
    EXPECT_FALSE(empty->isOverridden(WindowEdge::end, "2025-03-07"));
    EXPECT_EQ(WindowOverrides{}.toJson(), R"({"byDay":{}})");
    // Integral floats are integers; anything else fails.
    EXPECT_EQ(WindowOverrides::fromJson(R"({"byDay": {"k": {"end": 600.0}}})").value->byDay.at("k"),
              (DayOverride{std::nullopt, 600}));
    for (const char* bad : {R"({"byDay": []})", R"({"byDay": {"k": {"end": 600.5}}})",
                            R"({"byDay": {"k": {"end": "600"}}})", R"({"byDay": {"k": 3}})",
                            R"({"byDay": {"k": {"end": 1e300}}})",
                            R"({"byDay": {"k": {"end": 18446744073709551615}}})"})
        EXPECT_FALSE(WindowOverrides::fromJson(bad)) << bad;
}

TEST(DailyWindow, JsonFormNeedsBothMembers)
{
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
