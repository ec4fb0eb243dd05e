#include "kit/render/markdown_renderer.h"

#include "kit/render/table_builder.h"

#include "support/golden.h"
#include "tests/kit/render/render_samples.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

TEST(MarkdownRenderer, TableExample)
{
    const RenderedTable table = TableBuilder::build(test::twoZoneSlots(), test::twoZoneOptions());
    EXPECT_GOLDEN("render/markdown/table_two_zones.md", MarkdownRenderer::render(table));
}

TEST(MarkdownRenderer, SingleZoneMessage)
{
    // Bold heading with the zone line under it, bold day labels, no list markers.
    EXPECT_EQ(MarkdownRenderer::render(test::typicalSlots(), test::typicalOptions()),
              "**My availability**\nAll times are in Pacific Standard Time (PST)\n\n"
              "**Monday, March 3, 2025**\n9:00AM - 10:30AM\n1:00PM - 5:00PM\n\n"
              "**Tuesday, March 4, 2025**\n10:00PM - 1:00AM (Wed)");
}

TEST(MarkdownRenderer, EmptyRanges)
{
    RenderOptions options = test::typicalOptions();
    const RenderedTable table{.heading = "My availability", .zoneLabels = {"Pacific"}, .days = {}};

    // Single zone: heading, blank line, text; without a heading exactly the text.
    EXPECT_EQ(MarkdownRenderer::render({}, options),
              "**My availability**\n\nNo availability in this range.");
    options.heading.reset();
    EXPECT_EQ(MarkdownRenderer::render({}, options), "No availability in this range.");
    // Table: three lines, the middle one empty; no header row.
    EXPECT_EQ(MarkdownRenderer::render(table),
              "**My availability**\n\nNo availability in this range.");
    EXPECT_EQ(MarkdownRenderer::render(RenderedTable{}), "No availability in this range.");
}

TEST(MarkdownRenderer, PipesAreEscapedOnlyInTableRows)
{
    const RenderedTable table{.heading = "A | B",
                              .zoneLabels = {"Home|Work"},
                              .days = {DayGroup{.label = "Mon|", .rows = {{"9:00am"}, {"x\\|y"}}}}};

    // The heading is written as given; labels and cells, header included, get "\|".
    EXPECT_EQ(MarkdownRenderer::render(table), "**A | B**\n\n"
                                               "| Day | Home\\|Work |\n| --- | --- |\n"
                                               "| Mon\\| | 9:00am |\n| Mon\\| | x\\\\|y |");
}

}  // namespace
}  // namespace nelvo
