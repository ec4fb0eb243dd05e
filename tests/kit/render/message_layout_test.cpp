#include "kit/render/chat_renderer.h"
#include "kit/render/message_layout.h"

#include "kit/render/render_samples.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::slot;

TEST(MessageLayout, GroupsSlotsByPrimaryDayAndNamesTheZoneOverTheirPeriod)
{
    const auto build = [](std::vector<Slot> slots) {
        return MessageLayout::build(slots, test::typicalOptions());
    };
    // Adjacent slots split at midnight open two days; the later one carries no marker.
    EXPECT_EQ(
        build({slot("2025-03-03T22:00:00-08:00", "2025-03-04T00:00:00-08:00"),
               slot("2025-03-04T00:00:00-08:00", "2025-03-04T01:00:00-08:00")})
            .days,
        (std::vector<MessageLayout::Day>{{"Monday, March 3, 2025", {"10:00PM - 12:00AM (Tue)"}},
                                         {"Tuesday, March 4, 2025", {"12:00AM - 1:00AM"}}}));
    // A slot starting in standard time and ending in daylight time: the generic zone name.
    const MessageLayout night =
        build({slot("2025-03-08T22:00:00-08:00", "2025-03-09T04:00:00-07:00")});
    EXPECT_EQ(night.zoneLine, "All times are in Pacific Time");
    EXPECT_EQ(night.days.at(0).slots.at(0), "10:00PM - 4:00AM (Sun)");
}

// A message without a heading: render_environment_test.cpp.
TEST(ChatRenderer, EmptyRangesWithAndWithoutHeading)
{
    RenderOptions options = test::typicalOptions();
    // The heading, a blank line, the empty-range text; no zone line.
    EXPECT_EQ(ChatRenderer::render({}, options),
              "My availability\n\nNo availability in this range.");
    // Without a heading the text alone.
    options.heading.reset();
    EXPECT_EQ(ChatRenderer::render({}, options), "No availability in this range.");
}

}  // namespace
}  // namespace nelvo
