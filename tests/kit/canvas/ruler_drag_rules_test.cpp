#include "kit/canvas/ruler_drag_rules.h"

#include <gtest/gtest.h>

#include <ostream>

namespace nelvo::RulerDragRules {

void PrintTo(const Outcome& outcome, std::ostream* out)
{
    switch (outcome.kind) {
    case Outcome::Kind::move:
        *out << "move(to: " << outcome.targetIndex << ")";
        break;
    case Outcome::Kind::remove:
        *out << "remove";
        break;
    case Outcome::Kind::cancel:
        *out << "cancel";
        break;
    }
}

namespace {

// Three rulers 120 points wide, 8 apart, in an area 400 points high.
constexpr Layout three{.count = 3, .rulerWidth = 120, .spacing = 8, .axisHeight = 400};

TEST(RulerDragRules, SidewaysDragsReorderToTheNearestPlace)
{
    // 130 points is just over one pitch of 128.
    EXPECT_EQ(outcome(0, false, 130, 200, three), Outcome::move(1));
    // 60 points lands back on itself.
    EXPECT_EQ(outcome(0, false, 60, 200, three), Outcome::cancel());
    // 70 points is 0.55 of a pitch, which rounds to the next place.
    EXPECT_EQ(outcome(0, false, 70, 200, three), Outcome::move(1));
    // Leftward from the last place, for symmetry.
    EXPECT_EQ(outcome(2, false, -200, 200, three), Outcome::move(0));
    // Centre 30 points past the right end of the area (dx 346) is still inside, and the
    // target is limited to the last place.
    EXPECT_EQ(outcome(0, false, 346, 200, three), Outcome::move(2));
    // The primary ruler moves like any other.
    EXPECT_EQ(outcome(1, true, -128, 200, three), Outcome::move(0));
}

TEST(RulerDragRules, DraggedOffTheAreaRemovesAllButThePrimary)
{
    // 50 points above the area.
    EXPECT_EQ(outcome(1, false, 0, -50, three), Outcome::remove());
    EXPECT_EQ(outcome(1, true, 0, -50, three), Outcome::cancel());
    // Within the 40-point tolerance below the area it still counts as inside.
    EXPECT_FALSE(isOutside(1, 3, 0, 439, three));
    EXPECT_TRUE(isOutside(1, 3, 0, 441, three));
    // Beyond the tolerance at either side.
    EXPECT_EQ(outcome(0, false, 357, 200, three), Outcome::remove());
    EXPECT_EQ(outcome(0, false, -101, 200, three), Outcome::remove());
}

TEST(RulerDragRules, DegenerateLayoutsGiveAPlaceInRange)
{
    // No rulers, or rulers of no width, never give an index outside the list.
    EXPECT_EQ(targetIndex(0, 0, 500, 120, 8), 0);
    EXPECT_EQ(targetIndex(1, 3, 50, 0, 0), 1);
}

} // namespace
} // namespace nelvo::RulerDragRules
