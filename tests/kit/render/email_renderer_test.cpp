// The whole card's golden file, its head included, is checked by render_environment_test.cpp.

#include "kit/render/email_renderer.h"

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

TEST(EmailRenderer, HeadTitleDatesColumnHeadsAndEmptyCells)
{
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
    // No days: only the note; no slot table.
    const std::string empty = EmailRenderer::render(
        RenderedTable{.heading = "My availability", .zoneLabels = {}, .days = {}});
    EXPECT_EQ(count(empty, ">No availability in this range.</div>"), 1u);
    EXPECT_EQ(count(empty, "<thead>"), 0u);
    // Seven texts make seven chips: the empty text leaves its cell without one. The day group
    // after the first is ruled off.
    const std::string sparse = EmailRenderer::render(RenderedTable{
        .heading = {},
        .zoneLabels = {"A", "B"},
        .days = {DayGroup{.label = "Mon", .rows = {{"9:00am", ""}}},
                 DayGroup{.label = "Tue", .rows = {{"1", "2"}, {"3", "4"}, {"5", "6"}}}}});
    EXPECT_EQ(count(sparse, "nv-chip\""), 7u);
    EXPECT_EQ(count(sparse, "class=\"nv-day nv-rule\""), 1u);
}

}  // namespace
}  // namespace nelvo
