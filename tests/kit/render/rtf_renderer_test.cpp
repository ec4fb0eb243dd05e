// Both golden files are checked by render_environment_test.cpp.

#include "kit/render/rtf_renderer.h"

#include "kit/render/table_builder.h"

#include "kit/render/render_samples.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace nelvo {
namespace {

// Pure ASCII, and one group for the whole document; escaped braces do not count.
bool isWellFormed(const std::string& rtf)
{
    int depth = 0;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\')
            ++i;
        else if (rtf[i] == '{')
            ++depth;
        else if (rtf[i] == '}' && --depth == 0 && i + 1 != rtf.size())
            return false;
    }
    return depth == 0 &&
           std::none_of(rtf.begin(), rtf.end(), [](char c) { return (c & 0x80) != 0; });
}

TEST(RTFRenderer, EscapesEmptyRangesAndOddOrWideTables)
{
    // RTF's own characters, a line break and a tab; other control characters go.
    EXPECT_EQ(RTFRenderer::escape("a\\b{c}\nd\te\x01"), "a\\\\b\\{c\\}\\line d\\tab e");
    // Latin, the en dash and the middle dot; above 32767 the number is negative.
    EXPECT_EQ(RTFRenderer::escape("\u00e9 \u2013 \u00b7 \uff21"),
              "\\u233? \\u8211? \\u183? \\u-223?");
    // Outside the basic plane: a surrogate pair.
    EXPECT_EQ(RTFRenderer::escape("\U0001F600"), "\\u-10179?\\u-8704?");
    // Malformed UTF-8 (a lone continuation byte, a truncated sequence, an overlong form).
    EXPECT_EQ(RTFRenderer::escape("\x80"), "\\u-3?");
    EXPECT_EQ(RTFRenderer::escape("x\xe2\x80"), "x\\u-3?\\u-3?");
    EXPECT_EQ(RTFRenderer::escape("\xc0\xaf"), "\\u-3?\\u-3?");
    RenderOptions options = test::typicalOptions();

    // Bold heading, an empty paragraph, the text; without a heading the text alone.
    const std::string headed = RTFRenderer::render({}, options);
    EXPECT_NE(headed.find("{\\b My availability}\\par\n\\par\nNo availability in this range.}"),
              std::string::npos);
    options.heading.reset();
    EXPECT_TRUE(RTFRenderer::render({}, options).ends_with("\nNo availability in this range.}"));
    EXPECT_EQ(RTFRenderer::render(
                  RenderedTable{.heading = "My availability", .zoneLabels = {}, .days = {}}),
              headed);

    // No zones: the day rows alone, no empty table rows; text in labels is escaped.
    const std::string bare = RTFRenderer::render(RenderedTable{
        .heading = "{x}", .zoneLabels = {}, .days = {DayGroup{.label = "Mon", .rows = {{}, {}}}}});
    EXPECT_EQ(std::count(bare.begin(), bare.end(), '\n'), 5);  // prologue, heading, one row
    EXPECT_NE(bare.find("{\\b \\{x\\}}"), std::string::npos);
    EXPECT_TRUE(isWellFormed(bare));

    // Wide tables fit the text width.
    options = test::twoZoneOptions();
    for (const char* id : {"Asia/Tokyo", "Asia/Kolkata", "Europe/Berlin", "America/New_York"})
        options.zones.push_back(RenderZone{.zone = test::zone(id), .label = id});

    const std::string rtf = RTFRenderer::renderTable(test::twoZoneSlots(), options);
    EXPECT_TRUE(isWellFormed(rtf));
    // Six columns; the last right edge is within 6.5 inches (9,360 twips).
    const auto last = rtf.rfind("\\cellx");
    ASSERT_NE(last, std::string::npos);
    EXPECT_LE(std::stol(rtf.substr(last + 6)), 9360);
}

}  // namespace
}  // namespace nelvo
