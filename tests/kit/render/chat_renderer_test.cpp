#include "kit/render/chat_renderer.h"

#include "support/golden.h"
#include "tests/kit/render/render_samples.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::at;
using test::slot;
using test::zone;

TEST(ChatRenderer, TypicalMessage)
{
    EXPECT_GOLDEN("render/chat/typical_message.txt",
                  ChatRenderer::render(test::typicalSlots(), test::typicalOptions()));
}

TEST(ChatRenderer, EmptyRangeWithAndWithoutHeading)
{
    RenderOptions options = test::typicalOptions();

    // The heading, a blank line, the empty-range text; no zone line.
    EXPECT_EQ(ChatRenderer::render({}, options),
              "My availability\n\nNo availability in this range.");
    // Without a heading the text alone.
    options.heading.reset();
    EXPECT_EQ(ChatRenderer::render({}, options), "No availability in this range.");
}

TEST(ChatRenderer, BlocksWithoutHeadingAndIn24HourMode)
{
    RenderOptions options = test::typicalOptions();
    options.heading.reset();
    options.use24Hour = true;

    // The zone line is a block of its own; times are 24-hour; the overnight slot is marked.
    EXPECT_EQ(ChatRenderer::render(test::typicalSlots(), options),
              "All times are in Pacific Standard Time (PST)\n\n"
              "Monday, March 3, 2025\n09:00 - 10:30\n13:00 - 17:00\n\n"
              "Tuesday, March 4, 2025\n22:00 - 01:00 (Wed)");
}

TEST(MessageLayout, GroupsSlotsByPrimaryDay)
{
    const RenderOptions options = test::typicalOptions();

    // Adjacent slots split at midnight open two days; the later one carries no marker.
    const MessageLayout split = MessageLayout::build(
        std::vector{slot("2025-03-03T22:00:00-08:00", "2025-03-04T00:00:00-08:00"),
                    slot("2025-03-04T00:00:00-08:00", "2025-03-04T01:00:00-08:00")},
        options);
    ASSERT_EQ(split.days.size(), 2u);
    EXPECT_EQ(split.days[0].slots, std::vector<std::string>{"10:00PM - 12:00AM (Tue)"});
    EXPECT_EQ(split.days[1].label, "Tuesday, March 4, 2025");
    EXPECT_EQ(split.days[1].slots, std::vector<std::string>{"12:00AM - 1:00AM"});

    // Days are the primary zone's: 10:00 in Tokyo is still the evening before in Los Angeles.
    RenderOptions tokyo = options;
    tokyo.primary = zone("Asia/Tokyo");
    const MessageLayout ahead = MessageLayout::build(
        std::vector{slot("2025-03-03T17:00:00-08:00", "2025-03-03T18:00:00-08:00")}, tokyo);
    ASSERT_EQ(ahead.days.size(), 1u);
    EXPECT_EQ(ahead.days[0].label, "Tuesday, March 4, 2025");
    EXPECT_EQ(ahead.days[0].slots, std::vector<std::string>{"10:00AM - 11:00AM"});
    EXPECT_EQ(ahead.zoneLine, "All times are in Japan Standard Time (GMT+9)");
}

TEST(MessageLayout, ZoneLineAcrossDaylightSavingIsGeneric)
{
    // Friday before and Monday after the March change in Los Angeles.
    const auto layout = MessageLayout::build(
        std::vector{slot("2025-03-07T09:00:00-08:00", "2025-03-07T10:00:00-08:00"),
                    slot("2025-03-10T09:00:00-07:00", "2025-03-10T10:00:00-07:00")},
        test::typicalOptions());

    EXPECT_EQ(layout.zoneLine, "All times are in Pacific Time");
    // A slot starting in standard time and ending in daylight time straddles it too.
    const auto night = MessageLayout::build(
        std::vector{slot("2025-03-08T22:00:00-08:00", "2025-03-09T04:00:00-07:00")},
        test::typicalOptions());
    EXPECT_EQ(night.zoneLine, "All times are in Pacific Time");
    EXPECT_EQ(night.days.at(0).slots.at(0), "10:00PM - 4:00AM (Sun)");
}

}  // namespace
}  // namespace nelvo
