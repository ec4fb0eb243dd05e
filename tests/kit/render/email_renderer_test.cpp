#include "kit/render/email_renderer.h"

#include "kit/render/table_builder.h"

#include "support/golden.h"
#include "tests/kit/render/render_samples.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

std::size_t count(const std::string& text, const std::string& piece)
{
    std::size_t n = 0;
    for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++n;
    return n;
}

TEST(EmailRenderer, CardForTwoZones)
{
    const std::string html =
        EmailRenderer::render(TableBuilder::build(test::twoZoneSlots(), test::twoZoneOptions()));

    EXPECT_GOLDEN("render/email/head.html", html.substr(0, 640));
    EXPECT_GOLDEN("render/email/card_two_zones.html", html);
}

TEST(EmailRenderer, TitleDatesAndColumnHeads)
{
    const DayGroup day{.label = "Mon, Mar 3", .rows = {{"9:00am \u2013 10:00am"}}};

    // Split at the first separator; the dates keep the second.
    const std::string two = EmailRenderer::render(
        RenderedTable{.heading = "A \u00b7 B \u00b7 C", .zoneLabels = {"Pacific"}, .days = {day}});
    EXPECT_NE(two.find("color:#1d1d1f\">A</div>"), std::string::npos);
    EXPECT_NE(two.find("margin-top:2px\">B \u00b7 C</div>"), std::string::npos);
    // One zone: the columns are Day and Times (label).
    EXPECT_NE(two.find(">Day</th>"), std::string::npos);
    EXPECT_NE(two.find(">Times (Pacific)</th>"), std::string::npos);

    // No separator: a title and no dates line.
    const std::string plain = EmailRenderer::render(
        RenderedTable{.heading = "Plain", .zoneLabels = {"Pacific"}, .days = {day}});
    EXPECT_EQ(count(plain, "nv-dates\""), 0u);
    // No heading: the title cell is empty.
    const std::string untitled = EmailRenderer::render(
        RenderedTable{.heading = {}, .zoneLabels = {"Pacific"}, .days = {day}});
    EXPECT_NE(untitled.find("<tr><td style=\"padding:22px 24px 0\"></td></tr>"), std::string::npos);
    // Escaped wherever written; the single quote is kept.
    const std::string escaped = EmailRenderer::render(
        RenderedTable{.heading = "<b>&'", .zoneLabels = {"\"x\"", "y"}, .days = {day}});
    EXPECT_NE(escaped.find(">&lt;b&gt;&amp;'</div>"), std::string::npos);
    EXPECT_NE(escaped.find(">&quot;x&quot;</th>"), std::string::npos);
}

TEST(EmailRenderer, EmptyRangeAndEmptyCells)
{
    // No days: only the note; no slot table.
    const std::string empty = EmailRenderer::render(
        RenderedTable{.heading = "My availability", .zoneLabels = {}, .days = {}});
    EXPECT_NE(empty.find("<tr><td style=\"padding:16px 24px 22px\"><div class=\"nv-note\" "
                         "style=\"font-size:15px;line-height:20px;color:#6e6e73\">"
                         "No availability in this range.</div></td></tr>"),
              std::string::npos);
    EXPECT_EQ(count(empty, "<thead>"), 0u);

    // A row of one day is first and last; an empty text leaves its cell without a chip.
    const std::string sparse = EmailRenderer::render(RenderedTable{
        .heading = {},
        .zoneLabels = {"A", "B"},
        .days = {DayGroup{.label = "Mon", .rows = {{"9:00am", ""}}},
                 DayGroup{.label = "Tue", .rows = {{"1", "2"}, {"3", "4"}, {"5", "6"}}}}});
    EXPECT_NE(sparse.find(
                  "<td valign=\"top\" style=\"padding:12px 12px 10px 0;white-space:nowrap\"></td>"),
              std::string::npos);
    EXPECT_EQ(count(sparse, "nv-chip\""), 7u);
    // Later groups: the ruled first row, a middle row, a last row.
    EXPECT_NE(
        sparse.find("<td class=\"nv-day nv-rule\" valign=\"top\" style=\"padding:10px 12px 3px "
                    "0;border-top:1px solid #e5e5ea;font-size:15px"),
        std::string::npos);
    EXPECT_EQ(count(sparse, "class=\"nv-rule\""), 2u);
    EXPECT_EQ(count(sparse, "padding:3px 12px 3px 0;"), 3u);
    EXPECT_EQ(count(sparse, "padding:3px 12px 10px 0;"), 3u);
}

}  // namespace
}  // namespace nelvo
