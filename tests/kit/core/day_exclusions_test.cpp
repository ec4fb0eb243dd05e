#include "kit/core/day_exclusions.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::day;
using test::zone;

TEST(DayExclusions, EditsTheWeekendSwitchAndTheJsonForm)
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
    exclusions =
        DayExclusions{.saturdaysOff = false, .sundaysOff = true, .toggled = {"2025-03-05"}};
    EXPECT_EQ(exclusions.toJson(),
              R"({"saturdaysOff":false,"sundaysOff":true,"toggled":["2025-03-05"]})");
    EXPECT_EQ(decode(exclusions.toJson().c_str()), exclusions);
}

}  // namespace
}  // namespace nelvo
