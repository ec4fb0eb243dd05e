#include "kit/model/adjustments.h"

#include "support/numbered_uuids.h"
#include "support/time_helpers.h"

#include <gtest/gtest.h>

#include <climits>

namespace nelvo {
namespace {

using test::at;
using test::iso;
using test::zone;
using Spans = std::vector<std::string>;

// A time on Monday 2025-03-03 in New York (UTC-5).
Date ny(const char* hhmm)
{
    return at((std::string("2025-03-03T") + hhmm + ":00-05:00").c_str());
}

Slot band(const char* from, const char* to)
{
    return Slot{ny(from), ny(to)};
}

// Blocks numbered from 101, so that they never share an id with those a test makes.
Adjustments holding(std::initializer_list<std::pair<const char*, const char*>> blocks)
{
    Adjustments a;
    const UuidGenerator newId = test::numberedUuids(101);
    for (const auto& [from, to] : blocks)
        a.reserved.push_back(ReservedBlock{newId(), ny(from), ny(to)});
    return a;
}

// The blocks as "HH:MM-HH:MM" in New York, in list order.
Spans spans(const Adjustments& a)
{
    Spans result;
    const auto local = [](Date d) { return iso(d.addingSeconds(-5 * 3600)).substr(11, 5); };
    for (const ReservedBlock& b : a.reserved)
        result.push_back(local(b.start) + "-" + local(b.end));
    return result;
}

// The blocks after one trim of the band `from`-`to`, with 15-minute snapping in New York.
Spans trimmed(Adjustments a, const char* from, const char* to, WindowEdge edge, Date target,
              std::optional<std::int64_t> minimum, std::int64_t snap = 15)
{
    a.trim(band(from, to), edge, target, snap, zone("America/New_York"), minimum,
           test::numberedUuids());
    return spans(a);
}

TEST(Adjustments, TrimTakesTimeFromABandEdgeSnappedToLocalMarks)
{
    const auto top = WindowEdge::start;
    const auto bottom = WindowEdge::end;
    // The top dragged to 09:52: the band now starts at the next mark, 10:00.
    EXPECT_EQ(trimmed({}, "09:00", "12:00", top, ny("09:52"), 30), (Spans{"09:00-10:00"}));
    // A block ending at the band's start is replaced by one from its start to the new edge.
    EXPECT_EQ(trimmed(holding({{"08:00", "09:00"}, {"13:00", "14:00"}}), "09:00", "12:00", top,
                      ny("09:52"), 30),
              (Spans{"13:00-14:00", "08:00-10:00"}));
    // Dragging back into that block gives its time back.
    EXPECT_EQ(trimmed(holding({{"08:00", "09:00"}}), "09:00", "12:00", top, ny("08:30"), 30),
              (Spans{"08:00-08:30"}));
    // Seconds past a mark move a top edge on to the next mark.
    EXPECT_EQ(trimmed({}, "09:00", "12:00", top, ny("09:45").addingSeconds(1), 30),
              (Spans{"09:00-10:00"}));
    // Without a minimum the cut applies however little is left: 09:40 to 09:45.
    EXPECT_EQ(trimmed({}, "09:00", "10:00", top, ny("09:40"), std::nullopt),
              (Spans{"09:00-09:45"}));
    // The bottom dragged to 11:07: the band now ends at the mark before, 11:00.
    EXPECT_EQ(trimmed({}, "09:00", "12:00", bottom, ny("11:07"), 30), (Spans{"11:00-12:00"}));
    // Bottom to 09:20 leaves 15 minutes, under 30: the band and both neighbours become one block.
    EXPECT_EQ(trimmed(holding({{"08:00", "09:00"}, {"10:00", "10:30"}}), "09:00", "10:00", bottom,
                      ny("09:20"), 30),
              (Spans{"08:00-10:30"}));
    // Past the block below's end: the whole block is given back.
    EXPECT_EQ(trimmed(holding({{"12:00", "13:00"}}), "09:00", "12:00", bottom, ny("14:00"), 30),
              Spans{});
    // Kathmandu is UTC+5:45: marks fall on its own quarter hours.
    Adjustments a;
    a.trim(Slot{at("2025-03-03T09:00:00+05:45"), at("2025-03-03T12:00:00+05:45")},
           WindowEdge::start, at("2025-03-03T09:52:00+05:45"), 15, zone("Asia/Kathmandu"), 30,
           test::numberedUuids());
    EXPECT_EQ(iso(a.reserved.at(0).end), "2025-03-03T04:15:00Z");
    // A snap below 2 means whole minutes; a snap too large for a mark keeps the raw target.
    EXPECT_EQ(trimmed({}, "09:00", "12:00", top, ny("09:52"), 30, LLONG_MIN),
              (Spans{"09:00-09:52"}));
    EXPECT_EQ(trimmed({}, "09:00", "12:00", top, ny("09:52"), std::nullopt, LLONG_MAX),
              (Spans{"09:00-09:52"}));
    // The largest minimum removes the band; the most negative never does.
    EXPECT_EQ(trimmed({}, "09:00", "12:00", top, ny("09:52"), LLONG_MAX), (Spans{"09:00-12:00"}));
    EXPECT_EQ(trimmed({}, "09:00", "12:00", bottom, ny("11:07"), LLONG_MIN),
              (Spans{"11:00-12:00"}));
}

TEST(Adjustments, RemoveRestoreAndTheIdsOfNewBlocks)
{
    Adjustments a = holding({{"08:00", "09:00"}, {"14:00", "15:00"}, {"12:00", "12:30"}});
    a.remove(band("09:00", "12:00"), test::numberedUuids());
    EXPECT_EQ(spans(a), (Spans{"14:00-15:00", "08:00-12:30"}));
    // Restoring 10:00-11:00 removes whole blocks that touch (09:00-10:00, 11:00-11:15) or
    // overlap (10:30-12:00) it, and keeps the rest.
    Adjustments b =
        holding({{"09:00", "10:00"}, {"10:30", "12:00"}, {"11:30", "12:00"}, {"11:00", "11:15"}});
    b.restoreHolds(band("10:00", "11:00"));
    EXPECT_EQ(spans(b), (Spans{"11:30-12:00"}));
    using test::numberedUuid;
    const UuidGenerator newId = test::numberedUuids();
    a = holding({{"08:00", "09:00"}});
    // A trim replaces the neighbouring block with a new one; the next trim draws the next id.
    a.trim(band("09:00", "12:00"), WindowEdge::start, ny("10:00"), 15, zone("America/New_York"), 30,
           newId);
    ASSERT_EQ(a.reserved.size(), 1u);
    EXPECT_EQ(a.reserved.at(0).id, numberedUuid(1));
    a.trim(band("13:00", "17:00"), WindowEdge::end, ny("16:00"), 15, zone("America/New_York"), 30,
           newId);
    EXPECT_EQ(a.reserved.at(1).id, numberedUuid(2));
    // A removal merging two blocks with the band makes one block with one new id.
    a.remove(band("10:00", "16:00"), newId);
    ASSERT_EQ(a.reserved.size(), 1u);
    EXPECT_EQ(a.reserved.at(0).id, numberedUuid(3));
    EXPECT_EQ(spans(a), (Spans{"08:00-17:00"}));
}

TEST(Adjustments, PruneHoldKindsNeighboursAndToggles)
{
    const AdjustmentKey ended{"a", ny("09:00")}, ongoing{"b", ny("13:30")},
        unfetched{"c", ny("16:00")};
    Adjustments a = holding({{"12:00", "13:00"}, {"13:00", "15:00"}});
    a.movable = {ended, ongoing, unfetched};
    a.overrides.set(WindowEdge::start, 600, "2025-03-02");
    a.overrides.set(WindowEdge::start, 660, "2025-03-03");
    a.exclusions.toggleOnce("2025-03-02");
    a.exclusions.toggleOnce("2025-03-03");
    const std::unordered_map<AdjustmentKey, Date> ends{{ended, ny("10:00")},
                                                       {ongoing, ny("14:30")}};
    Adjustments pruned = a;
    pruned.prune(ny("14:00"), ends, std::nullopt, zone("America/New_York"));
    // Ended meetings go; one whose occurrence was not fetched stays.
    EXPECT_EQ(pruned.movable, (std::unordered_set<AdjustmentKey>{ongoing, unfetched}));
    // A block partly past stays whole.
    EXPECT_EQ(spans(pruned), (Spans{"13:00-15:00"}));
    // Yesterday's override and toggle go, today's stay.
    EXPECT_EQ(pruned.overrides.byDay.size(), 1u);
    EXPECT_EQ(pruned.exclusions.toggled, (std::set<std::string>{"2025-03-03"}));
    // Known events given: every other key goes too.
    a.prune(ny("14:00"), ends, std::unordered_set<AdjustmentKey>{ongoing},
            zone("America/New_York"));
    EXPECT_EQ(a.movable, (std::unordered_set<AdjustmentKey>{ongoing}));
    a = holding({{"09:00", "10:00"}, {"12:00", "13:00"}, {"15:00", "16:00"}});
    const auto kinds =
        a.holdKinds(std::vector<Slot>{band("10:00", "11:00"), band("14:00", "15:00")});
    // Ends where a slot starts, or starts where one ends: trimmed. Otherwise removed.
    EXPECT_EQ(kinds.at(a.reserved[0].id), HoldKind::trimmed);
    EXPECT_EQ(kinds.at(a.reserved[1].id), HoldKind::removed);
    EXPECT_EQ(kinds.at(a.reserved[2].id), HoldKind::trimmed);
    const auto neighbours = a.holdsAdjacent(band("10:00", "12:00"));
    EXPECT_EQ(neighbours.before, a.reserved[0]);
    EXPECT_EQ(neighbours.after, a.reserved[1]);
    // Toggling a key twice gives back the set it started from.
    Adjustments b;
    b.toggleMovable({"weekly", ny("10:00")});
    EXPECT_EQ(b.movable.size(), 1u);
    b.toggleMovable({"weekly", ny("10:00")});
    EXPECT_EQ(b, Adjustments::empty());
}

}  // namespace
}  // namespace nelvo
