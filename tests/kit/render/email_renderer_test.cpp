// The whole card's golden file is checked by render_environment_test.cpp.

#include "kit/render/email_renderer.h"

#include "kit/render/table_builder.h"

#include "kit/render/render_samples.h"
#include "support/golden.h"

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

// A card of one day with one slot.
std::string card(std::optional<std::string> heading, std::vector<std::string> zoneLabels)
{
    const DayGroup day{.label = "Mon, Mar 3", .rows = {{"9:00am \u2013 10:00am"}}};
    return EmailRenderer::render(
        RenderedTable{.heading = heading, .zoneLabels = zoneLabels, .days = {day}});
}

TEST(EmailRenderer, HeadTitleDatesAndColumnHeads)
{
    // The head (styles, dark mode) stays byte for byte.
    EXPECT_GOLDEN(
        "render/email/head.html",
        EmailRenderer::render(TableBuilder::build(test::twoZoneSlots(), test::twoZoneOptions()))
            .substr(0, 640));
    // Split at the first separator, the dates keeping the second; one zone: Day, Times (label).
    const std::string two = card("A \u00b7 B \u00b7 C", {"Pacific"});
    for (const char* piece : {"color:#1d1d1f\">A</div>", "margin-top:2px\">B \u00b7 C</div>",
                              ">Day</th>", ">Times (Pacific)</th>"})
        EXPECT_EQ(count(two, piece), 1u) << piece;
    // No separator: a title and no dates line.
    EXPECT_EQ(count(card("Plain", {"Pacific"}), "nv-dates\""), 0u);
    // No heading: the title cell is empty.
    EXPECT_EQ(count(card(std::nullopt, {"Pacific"}), "<td style=\"padding:22px 24px 0\"></td>"),
              1u);
    // Escaped wherever written; the single quote is kept.
    const std::string escaped = card("<b>&'", {"\"x\"", "y"});
    EXPECT_EQ(count(escaped, ">&lt;b&gt;&amp;'</div>"), 1u);
    EXPECT_EQ(count(escaped, ">&quot;x&quot;</th>"), 1u);
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

    const std::string sparse = EmailRenderer::render(RenderedTable{
        .heading = {},
        .zoneLabels = {"A", "B"},
        .days = {DayGroup{.label = "Mon", .rows = {{"9:00am", ""}}},
                 DayGroup{.label = "Tue", .rows = {{"1", "2"}, {"3", "4"}, {"5", "6"}}}}});
    for (const auto& [piece, n] : std::vector<std::pair<std::string, std::size_t>>{
             // A row of one day is first and last; an empty text leaves its cell without a chip.
             {"<td valign=\"top\" style=\"padding:12px 12px 10px 0;white-space:nowrap\"></td>", 1},
             {"nv-chip\"", 7},
             // Later groups: the ruled first row, a middle row, a last row.
             {"<td class=\"nv-day nv-rule\" valign=\"top\" style=\"padding:10px 12px 3px "
              "0;border-top:1px solid #e5e5ea;font-size:15px",
              1},
             {"class=\"nv-rule\"", 2},
             {"padding:3px 12px 3px 0;", 3},
             {"padding:3px 12px 10px 0;", 3}})
        EXPECT_EQ(count(sparse, piece), n) << piece;
}

}  // namespace
}  // namespace nelvo
