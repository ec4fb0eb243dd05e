#include "kit/store/adjustments.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

#include <climits>

namespace nelvo {
namespace {

using test::at;
using test::iso;
using test::zone;

// Times on Monday 2025-03-03 in New York (UTC-5).
Date ny(const char* hhmm)
{
    return at((std::string("2025-03-03T") + hhmm + ":00-05:00").c_str());
}

Slot band(const char* from, const char* to)
{
    return Slot{ny(from), ny(to)};
}

ReservedBlock block(const char* from, const char* to)
{
    return ReservedBlock{Uuid::random(), ny(from), ny(to)};
}

// The blocks as "HH:MM-HH:MM" in New York, in list order.
std::vector<std::string> spans(const Adjustments& adjustments)
{
    std::vector<std::string> result;
    for (const ReservedBlock& b : adjustments.reserved) {
        const auto local = [](Date d) { return iso(d.addingSeconds(-5 * 3600)).substr(11, 5); };
        result.push_back(local(b.start) + "-" + local(b.end));
    }
    return result;
}

using Spans = std::vector<std::string>;

TEST(Adjustments, TrimTopEdgeSnapsDownwardAndMergesTheBlockAbove)
{
    const TimeZone z = zone("America/New_York");
    // No neighbour: 09:52 rounds up to 10:00 and 09:00-10:00 is taken.
    Adjustments a;
    a.trim(band("09:00", "12:00"), WindowEdge::start, ny("09:52"), 15, z, 30);
    EXPECT_EQ(spans(a), (Spans{"09:00-10:00"}));
    // A block ending at the band's start is replaced by one reaching from its start.
    Adjustments b;
    b.reserved.push_back(block("08:00", "09:00"));
    b.reserved.push_back(block("13:00", "14:00"));
    b.trim(band("09:00", "12:00"), WindowEdge::start, ny("09:52"), 15, z, 30);
    EXPECT_EQ(spans(b), (Spans{"13:00-14:00", "08:00-10:00"}));
    // A target on a mark stays; seconds past a mark move on to the next one.
    Adjustments c;
    c.trim(band("09:00", "12:00"), WindowEdge::start, ny("09:45"), 15, z, 30);
    c.trim(band("09:45", "12:00"), WindowEdge::start, ny("10:00").addingSeconds(20), 15, z, 30);
    EXPECT_EQ(spans(c), (Spans{"09:00-10:15"}));
    // Without a minimum the cut applies however little is left.
    Adjustments d;
    d.trim(band("09:00", "10:00"), WindowEdge::start, ny("09:40"), 15, z, std::nullopt);
    EXPECT_EQ(spans(d), (Spans{"09:00-09:45"}));
    // Dragging the top up into the block above gives that time back.
    Adjustments e;
    e.reserved.push_back(block("08:00", "09:00"));
    e.trim(band("09:00", "12:00"), WindowEdge::start, ny("08:30"), 15, z, 30);
    EXPECT_EQ(spans(e), (Spans{"08:00-08:30"}));
}

TEST(Adjustments, TrimBottomEdgeSnapsUpwardAndRemovesBandsTooShortToKeep)
{
    const TimeZone z = zone("America/New_York");
    // 11:07 rounds down to 11:00; 11:00-12:00 is taken.
    Adjustments a;
    a.trim(band("09:00", "12:00"), WindowEdge::end, ny("11:07"), 15, z, 30);
    EXPECT_EQ(spans(a), (Spans{"11:00-12:00"}));
    // 09:20 rounds to 09:15, leaving 15 minutes, under the minimum of 30: the band and both
    // neighbours become one block.
    Adjustments b;
    b.reserved.push_back(block("08:00", "09:00"));
    b.reserved.push_back(block("10:00", "10:30"));
    b.trim(band("09:00", "10:00"), WindowEdge::end, ny("09:20"), 15, z, 30);
    EXPECT_EQ(spans(b), (Spans{"08:00-10:30"}));
    // Dragging the bottom down into the block below gives time back (12:40 rounds to 12:30).
    Adjustments c;
    c.reserved.push_back(block("12:00", "13:00"));
    c.trim(band("09:00", "12:00"), WindowEdge::end, ny("12:40"), 15, z, 30);
    EXPECT_EQ(spans(c), (Spans{"12:30-13:00"}));
    // Past the block below's end: the whole block is given back and nothing is taken.
    Adjustments d;
    d.reserved.push_back(block("12:00", "13:00"));
    d.trim(band("09:00", "12:00"), WindowEdge::end, ny("14:00"), 15, z, 30);
    EXPECT_TRUE(d.reserved.empty());
}

TEST(Adjustments, TrimSnapsToLocalMarksOfTheZone)
{
    // Kathmandu is UTC+5:45: marks fall at :00, :15 ... local time, not UTC.
    const TimeZone kathmandu = zone("Asia/Kathmandu");
    const Slot slot{at("2025-03-03T09:00:00+05:45"), at("2025-03-03T12:00:00+05:45")};
    Adjustments a;
    a.trim(slot, WindowEdge::start, at("2025-03-03T09:52:00+05:45"), 15, kathmandu, 30);
    ASSERT_EQ(a.reserved.size(), 1u);
    EXPECT_EQ(iso(a.reserved[0].end), "2025-03-03T04:15:00Z");
    // A snap below 2 means whole minutes: 09:52:30 goes to 09:53.
    Adjustments b;
    b.trim(slot, WindowEdge::start, at("2025-03-03T09:52:30+05:45"), 0, kathmandu, 30);
    ASSERT_EQ(b.reserved.size(), 1u);
    EXPECT_EQ(iso(b.reserved[0].end), "2025-03-03T04:08:00Z");
}

TEST(Adjustments, TrimWithHostileNumbersStaysDefined)
{
    const TimeZone z = zone("America/New_York");
    // A snap too large to form a mark keeps the raw target.
    Adjustments a;
    a.trim(band("09:00", "12:00"), WindowEdge::start, ny("09:52"), LLONG_MAX, z, std::nullopt);
    EXPECT_EQ(spans(a), (Spans{"09:00-09:52"}));
    Adjustments b;
    b.trim(band("09:00", "12:00"), WindowEdge::end, ny("11:07"), LLONG_MAX, z, std::nullopt);
    // Rounding down to the day's start is clamped to the band.
    EXPECT_EQ(spans(b), (Spans{"09:00-12:00"}));
    // The largest minimum removes the band; the most negative never does.
    Adjustments c;
    c.trim(band("09:00", "12:00"), WindowEdge::start, ny("09:52"), 15, z, LLONG_MAX);
    EXPECT_EQ(spans(c), (Spans{"09:00-12:00"}));
    Adjustments d;
    d.trim(band("09:00", "12:00"), WindowEdge::start, ny("09:52"), LLONG_MIN, z, LLONG_MIN);
    EXPECT_EQ(spans(d), (Spans{"09:00-09:52"}));
}

TEST(Adjustments, RemoveMergesTheBandWithTheBlocksTouchingIt)
{
    Adjustments a;
    a.reserved.push_back(block("08:00", "09:00"));
    a.reserved.push_back(block("14:00", "15:00"));
    a.reserved.push_back(block("12:00", "12:30"));
    a.remove(band("09:00", "12:00"));
    EXPECT_EQ(spans(a), (Spans{"14:00-15:00", "08:00-12:30"}));
    // The new block has an identity of its own.
    EXPECT_NE(a.reserved.back().id, a.reserved.front().id);
}

TEST(Adjustments, RestoreHoldsRemovesWholeBlocksThatOverlapOrTouch)
{
    Adjustments a;
    a.reserved = {block("09:00", "10:00"), block("10:30", "12:00"), block("11:30", "12:00"),
                  block("11:00", "11:15"), block("07:00", "08:00")};
    a.restoreHolds(band("10:00", "11:00"));
    // 09:00-10:00 touches, 10:30-12:00 overlaps, 11:00-11:15 touches the end.
    EXPECT_EQ(spans(a), (Spans{"11:30-12:00", "07:00-08:00"}));
}

TEST(Adjustments, PruneForgetsThePast)
{
    const TimeZone z = zone("America/New_York");
    const AdjustmentKey ended{"a", ny("09:00")};
    const AdjustmentKey ongoing{"b", ny("13:30")};
    const AdjustmentKey unfetched{"c", at("2025-04-01T15:00:00Z")};
    Adjustments a;
    a.movable = {ended, ongoing, unfetched};
    a.reserved = {block("12:00", "13:00"), block("13:00", "15:00")};
    a.overrides.set(WindowEdge::start, 600, "2025-03-02");
    a.overrides.set(WindowEdge::start, 660, "2025-03-03");
    a.exclusions.toggleOnce("2025-03-02");
    a.exclusions.toggleOnce("2025-03-03");
    const std::unordered_map<AdjustmentKey, Date> ends{{ended, ny("10:00")}, {ongoing, ny("14:30")}};

    Adjustments pruned = a;
    pruned.prune(ny("14:00"), ends, std::nullopt, z);
    // Ended meetings go; one not fetched at all stays.
    EXPECT_EQ(pruned.movable, (std::unordered_set<AdjustmentKey>{ongoing, unfetched}));
    // A block partly past stays whole.
    EXPECT_EQ(spans(pruned), (Spans{"13:00-15:00"}));
    // Yesterday's override and toggle go, today's stay.
    EXPECT_EQ(pruned.overrides.byDay.size(), 1u);
    EXPECT_TRUE(pruned.overrides.isOverridden(WindowEdge::start, "2025-03-03"));
    EXPECT_EQ(pruned.exclusions.toggled, (std::set<std::string>{"2025-03-03"}));

    // Known events given: every key outside them goes too.
    Adjustments known = a;
    known.prune(ny("14:00"), ends, std::unordered_set<AdjustmentKey>{ongoing}, z);
    EXPECT_EQ(known.movable, (std::unordered_set<AdjustmentKey>{ongoing}));
}

TEST(Adjustments, HoldKindsAndNeighbours)
{
    Adjustments a;
    a.reserved = {block("09:00", "10:00"), block("12:00", "13:00"), block("15:00", "16:00"),
                  block("09:30", "10:00")};
    const std::vector<Slot> slots{band("10:00", "11:00"), band("14:00", "15:00")};
    const auto kinds = a.holdKinds(slots);
    ASSERT_EQ(kinds.size(), 4u);
    // Ends where a slot starts, or starts where one ends: trimmed.
    EXPECT_EQ(kinds.at(a.reserved[0].id), HoldKind::trimmed);
    EXPECT_EQ(kinds.at(a.reserved[2].id), HoldKind::trimmed);
    // Busy or window time on both sides: removed.
    EXPECT_EQ(kinds.at(a.reserved[1].id), HoldKind::removed);
    // The first block touching a slot is its neighbour.
    const auto [before, after] = a.holdsAdjacent(band("10:00", "12:00"));
    EXPECT_EQ(before, a.reserved[0]);
    EXPECT_EQ(after, a.reserved[1]);
    EXPECT_FALSE(a.holdsAdjacent(band("10:30", "11:00")).before);
}

TEST(Adjustments, ToggleMovableTwiceRestoresTheSet)
{
    Adjustments a;
    a.movable.insert({"x", ny("09:00")});
    const auto start = a.movable;
    const AdjustmentKey key{"weekly", ny("10:00")};
    a.toggleMovable(key);
    EXPECT_TRUE(a.movable.contains(key));
    a.toggleMovable(key);
    EXPECT_EQ(a.movable, start);
    EXPECT_EQ(Adjustments::empty(), Adjustments{});
}

}  // namespace
}  // namespace nelvo
