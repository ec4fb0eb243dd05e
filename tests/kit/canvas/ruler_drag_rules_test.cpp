#include "kit/canvas/ruler_drag_rules.h"

#include <gtest/gtest.h>

#include <ostream>

namespace nelvo::RulerDragRules {

void PrintTo(const Outcome& o, std::ostream* out)
{
    const char* names[] = {"move", "remove", "cancel"};
    *out << names[static_cast<int>(o.kind)] << "(" << o.targetIndex << ")";
}

namespace {

// Three rulers 120 points wide, 8 apart (a pitch of 128), in an area 400 points high.
constexpr Layout three{.count = 3, .rulerWidth = 120, .spacing = 8, .axisHeight = 400};

TEST(RulerDragRules, SidewaysDragsReorderAndDragsOffTheAreaRemove)
{
    // 130 points: the next place; 60: back on itself; 70 is 0.55 of a pitch: the next place.
    EXPECT_EQ(outcome(0, false, 130, 200, three), Outcome::move(1));
    EXPECT_EQ(outcome(0, false, 60, 200, three), Outcome::cancel());
    EXPECT_EQ(outcome(0, false, 70, 200, three), Outcome::move(1));
    // Centre 30 points past the right end (dx 346) is inside, limited to the last place.
    EXPECT_EQ(outcome(0, false, 346, 200, three), Outcome::move(2));
    // No rulers, or rulers of no width, never give an index outside the list.
    EXPECT_EQ(targetIndex(0, 0, 500, 120, 8), 0);
    EXPECT_EQ(targetIndex(1, 3, 50, 0, 0), 1);
    // 50 points above the area.
    EXPECT_EQ(outcome(1, false, 0, -50, three), Outcome::remove());
    EXPECT_EQ(outcome(1, true, 0, -50, three), Outcome::cancel());
    // 40 points of tolerance below and to the right.
    EXPECT_FALSE(isOutside(1, 3, 0, 439, three));
    EXPECT_TRUE(isOutside(1, 3, 0, 441, three));
    EXPECT_EQ(outcome(0, false, 357, 200, three), Outcome::remove());
}

}  // namespace
}  // namespace nelvo::RulerDragRules
