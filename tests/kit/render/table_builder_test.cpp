#include "kit/render/table_builder.h"

#include "kit/render/render_samples.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::at;
using test::slot;
using test::zone;

using Rows = std::vector<std::vector<std::string>>;

TEST(TableBuilder, CellsHeadingsAndDegenerateOptions)
{
    RenderOptions options = test::twoZoneOptions();
    options.zones.push_back(RenderZone{.zone = zone("Asia/Tokyo"), .label = "Tokyo"});
    const RenderedTable table = TableBuilder::build(
        std::vector{slot("2025-03-03T09:00:00-08:00", "2025-03-03T10:30:00-08:00"),
                    slot("2025-03-03T23:00:00-08:00", "2025-03-04T01:00:00-08:00"),
                    slot("2025-03-04T17:00:00-08:00", "2025-03-04T18:00:00-08:00")},
        options);

    EXPECT_EQ(table.heading, "My availability \u00b7 Mar 3 \u2013 7");
    EXPECT_EQ(table.zoneLabels, (std::vector<std::string>{"Pacific", "London", "Tokyo"}));
    ASSERT_EQ(table.days.size(), 2u);
    // Lower-case times; a column a day ahead is marked; an overnight slot stays on its start day.
    EXPECT_EQ(table.days[0].label, "Mon, Mar 3");
    EXPECT_EQ(table.days[0].rows,
              (Rows{{"9:00am \u2013 10:30am", "5:00pm \u2013 6:30pm", "2:00am \u2013 3:30am (Tue)"},
                    {"11:00pm \u2013 1:00am (Tue)", "7:00am \u2013 9:00am (Tue)",
                     "4:00pm \u2013 6:00pm (Tue)"}}));
    // Each row is judged against its own day: Tuesday evening in Los Angeles is Wednesday in Tokyo.
    EXPECT_EQ(table.days[1].label, "Tue, Mar 4");
    EXPECT_EQ(table.days[1].rows.at(0).at(2), "10:00am \u2013 11:00am (Wed)");

    // 24-hour cells.
    options.use24Hour = true;
    EXPECT_EQ(TableBuilder::build(test::twoZoneSlots(), options).days.at(0).rows.at(1).at(1),
              "23:00 \u2013 01:00 (Tue)");
    // Headings and degenerate options.
    options = test::twoZoneOptions();
    const auto heading = [&] { return TableBuilder::build({}, options).heading; };

    // No slots: no days.
    EXPECT_TRUE(TableBuilder::build({}, options).days.empty());
    // A range without a heading is the heading; a single day gives one date.
    options.heading.reset();
    EXPECT_EQ(heading(), "Mar 3 \u2013 7");
    options.heading = "My availability";
    options.dateRange = std::pair{at("2025-03-03T08:00:00-08:00"), at("2025-03-03T20:00:00-08:00")};
    EXPECT_EQ(heading(), "My availability \u00b7 Mar 3");
    // The range zone decides the dates: 20:00 in Los Angeles is Mar 4 in Tokyo.
    options.rangeZone = zone("Asia/Tokyo");
    EXPECT_EQ(heading(), "My availability \u00b7 Mar 4");
    // Without a range the heading is unchanged, even when absent.
    options.dateRange.reset();
    options.heading.reset();
    EXPECT_EQ(heading(), std::nullopt);

    // No zones: day groups with empty rows.
    options.zones.clear();
    const RenderedTable bare = TableBuilder::build(test::twoZoneSlots(), options);
    ASSERT_EQ(bare.days.size(), 1u);
    EXPECT_EQ(bare.days[0].rows, (Rows{{}, {}}));

    // One zone twice under two labels: two identical columns.
    options.zones = {RenderZone{.zone = zone("Europe/London"), .label = "London"},
                     RenderZone{.zone = zone("Europe/London"), .label = "Office"}};
    const RenderedTable twice = TableBuilder::build(test::twoZoneSlots(), options);
    EXPECT_EQ(twice.days.at(0).rows.at(0).at(0), twice.days.at(0).rows.at(0).at(1));
}

}  // namespace
}  // namespace nelvo
