// The golden files, a message and a table, are checked by render_environment_test.cpp.

#include "kit/render/markdown_renderer.h"

#include "kit/render/render_samples.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

TEST(MarkdownRenderer, MessagesEmptyRangesAndPipesEscapedOnlyInTableRows)
{
    RenderOptions options = test::typicalOptions();
    // Empty, message and table alike: heading, blank line, text; no header row.
    const std::string empty = "**My availability**\n\nNo availability in this range.";
    EXPECT_EQ(MarkdownRenderer::render({}, options), empty);
    EXPECT_EQ(MarkdownRenderer::render(RenderedTable{
                  .heading = "My availability", .zoneLabels = {"Pacific"}, .days = {}}),
              empty);
    // Without a heading exactly the text.
    options.heading.reset();
    EXPECT_EQ(MarkdownRenderer::render({}, options), "No availability in this range.");
    EXPECT_EQ(MarkdownRenderer::render(RenderedTable{}), "No availability in this range.");
    const RenderedTable table{.heading = "A | B",
                              .zoneLabels = {"Home|Work"},
                              .days = {DayGroup{.label = "Mon|", .rows = {{"9:00am"}, {"x\\|y"}}}}};

    // The heading is written as given; labels and cells, header included, get "\|".
    EXPECT_EQ(MarkdownRenderer::render(table), "**A | B**\n\n"
                                               "| Day | Home\\|Work |\n| --- | --- |\n"
                                               "| Mon\\| | 9:00am |\n| Mon\\| | x\\\\|y |");
    // A line break in a label would end the row: it is written as a space.
    const RenderedTable broken{
        .heading = {},
        .zoneLabels = {"Home\nOffice", "A\r\nB"},
        .days = {DayGroup{.label = "Mon\r", .rows = {{"9:00am", "6:00pm"}}}}};
    EXPECT_EQ(MarkdownRenderer::render(broken), "| Day | Home Office | A B |\n| --- | --- | --- |\n"
                                                "| Mon  | 9:00am | 6:00pm |");
}

}  // namespace
}  // namespace nelvo
