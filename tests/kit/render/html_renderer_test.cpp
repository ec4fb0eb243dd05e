// Both golden files are checked by render_environment_test.cpp.

#include "kit/render/html_renderer.h"

#include "kit/render/render_samples.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

TEST(HTMLRenderer, RenderTablePicksTheFormByZoneCountAndEmptyRanges)
{
    const auto slots = test::twoZoneSlots();
    RenderOptions options = test::twoZoneOptions();

    // Two zones: the table (its golden file). One zone, or none: the single-zone <div>, which
    // ignores the range.
    options.zones.pop_back();
    EXPECT_EQ(HTMLRenderer::renderTable(slots, options), HTMLRenderer::render(slots, options));
    options.zones.clear();
    EXPECT_EQ(HTMLRenderer::renderTable(slots, options), HTMLRenderer::render(slots, options));

    // A heading paragraph, then the empty-range paragraph; without a heading the latter alone.
    EXPECT_EQ(HTMLRenderer::render({}, options),
              "<p style=\"font-weight:600;margin:0 0 8px\">My availability</p>"
              "<p>No availability in this range.</p>");
    EXPECT_EQ(HTMLRenderer::render(RenderedTable{}), "<p>No availability in this range.</p>");
    options.heading.reset();
    EXPECT_EQ(HTMLRenderer::render({}, options), "<p>No availability in this range.</p>");
}

TEST(HTMLRenderer, EscapesEveryText)
{
    // Ampersand first, so an entity is escaped again; the single quote stays.
    EXPECT_EQ(HTMLRenderer::escape("a<b & \"c\" > 'd' &lt;"),
              "a&lt;b &amp; &quot;c&quot; &gt; 'd' &amp;lt;");

    const MessageLayout layout{.heading = "Tom & Jerry <3",
                               .zoneLine = "All times are in \"Home\"",
                               .days = {{.label = "<Mon>", .slots = {"9 & 10"}}}};
    EXPECT_EQ(HTMLRenderer::render(layout),
              "<div style=\"font-family:-apple-system,Helvetica,Arial,sans-serif;font-size:14px\">"
              "<b>Tom &amp; Jerry &lt;3</b><br>All times are in &quot;Home&quot;<br><br>"
              "<b>&lt;Mon&gt;</b><br>9 &amp; 10</div>");

    const RenderedTable table{.heading = "A&B",
                              .zoneLabels = {"<x>"},
                              .days = {DayGroup{.label = "\"d\"", .rows = {{"c&"}}}}};
    const std::string html = HTMLRenderer::render(table);
    for (const char* piece :
         {">A&amp;B</p>", ">&lt;x&gt;</th>", ">&quot;d&quot;</td>", ">c&amp;</td>"})
        EXPECT_NE(html.find(piece), std::string::npos) << piece;
    // One zone label: the day row spans one column; with none it is still one cell.
    EXPECT_NE(html.find("<tr><td colspan=\"1\" style="), std::string::npos);
    const std::string bare =
        HTMLRenderer::render(RenderedTable{.heading = {}, .zoneLabels = {}, .days = table.days});
    EXPECT_EQ(bare.find("colspan=\"0\""), std::string::npos);
    EXPECT_NE(bare.find("<tr><td colspan=\"1\" style="), std::string::npos);
}

}  // namespace
}  // namespace nelvo
