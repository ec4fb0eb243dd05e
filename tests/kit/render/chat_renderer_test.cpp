// The typical message's golden file, and days in another primary zone, are checked by
// render_environment_test.cpp.

#include "kit/render/chat_renderer.h"

#include "tests/kit/render/render_samples.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::slot;

TEST(ChatRenderer, BlocksWithAndWithoutHeading)
{
    RenderOptions options = test::typicalOptions();
    // The heading, a blank line, the empty-range text; no zone line.
    EXPECT_EQ(ChatRenderer::render({}, options),
              "My availability\n\nNo availability in this range.");
    // Without a heading the text alone.
    options.heading.reset();
    EXPECT_EQ(ChatRenderer::render({}, options), "No availability in this range.");
    // The zone line is then a block of its own; 24-hour times; the overnight slot is marked.
    options.use24Hour = true;
    EXPECT_EQ(ChatRenderer::render(test::typicalSlots(), options),
              "All times are in Pacific Standard Time (PST)\n\n"
              "Monday, March 3, 2025\n09:00 - 10:30\n13:00 - 17:00\n\n"
              "Tuesday, March 4, 2025\n22:00 - 01:00 (Wed)");
}

}  // namespace
}  // namespace nelvo
