#include "kit/canvas/band_reach.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

#include <vector>

namespace nelvo {
namespace {

using test::at;
using test::iso;
using test::zone;

// Instants on 2025-03-04 in Berlin (UTC+1), by local time.
Date berlin(const char* hhmm)
{
    return at((std::string("2025-03-04T") + hhmm + ":00+01:00").c_str());
}

std::string local(Date d)
{
    const auto p = Calendar(zone("Europe/Berlin")).parts(d);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", p.hour, p.minute);
    return text;
}

ReservedBlock block(const char* from, const char* to)
{
    return ReservedBlock{.start = berlin(from), .end = berlin(to)};
}

struct Day {
    Slot band{berlin("11:00"), berlin("12:00")};
    std::pair<Date, Date> window{berlin("09:00"), berlin("17:00")};
    Date cutoff = berlin("08:00");
    std::vector<BusyInterval> busy;

    BandReach::Reach reach(std::optional<ReservedBlock> above, std::optional<ReservedBlock> below,
                           std::int64_t step = BandReach::stepMinutes) const
    {
        return BandReach::reach(band, above, below, busy, window, cutoff, step,
                                zone("Europe/Berlin"));
    }
};

TEST(BandReach, TopGrowsIntoTheBlockAboveUpToBusyTimeAndTheCutoff)
{
    Day day;
    const ReservedBlock above = block("10:00", "11:00");

    // Without adjacent blocks the band cannot grow.
    EXPECT_EQ(day.reach(std::nullopt, std::nullopt),
              (BandReach::Reach{day.band.start, day.band.end}));
    // The whole block above comes back.
    EXPECT_EQ(local(day.reach(above, std::nullopt).top), "10:00");
    // A meeting ending at 10:20 stops it at the next quarter hour.
    day.busy = {BusyInterval{berlin("09:30"), berlin("10:20")}};
    EXPECT_EQ(local(day.reach(above, std::nullopt).top), "10:30");
    // A cutoff at 10:40 comes later still.
    day.cutoff = berlin("10:40");
    EXPECT_EQ(local(day.reach(above, std::nullopt).top), "10:45");
    // Busy time reaching into the band: the band's own start, never a point inside it.
    day.cutoff = berlin("08:00");
    day.busy = {BusyInterval{berlin("10:30"), berlin("11:10")}};
    EXPECT_EQ(day.reach(above, std::nullopt).top, day.band.start);
    // A block reaching above the window stops at the window start.
    day.busy.clear();
    EXPECT_EQ(local(day.reach(block("07:00", "11:00"), std::nullopt).top), "09:00");
    // The grid counts from midnight, not from the window: a 09:10 start gives 09:15.
    day.window.first = berlin("09:10");
    EXPECT_EQ(local(day.reach(block("07:00", "11:00"), std::nullopt).top), "09:15");
    day.window.first = berlin("09:00");
    // Busy time that ended before the block began does not count.
    day.busy = {BusyInterval{berlin("09:00"), berlin("09:40")}};
    EXPECT_EQ(local(day.reach(above, std::nullopt).top), "10:00");
}

TEST(BandReach, BottomGrowsIntoTheBlockBelowOntoTheGrid)
{
    Day day;
    const ReservedBlock below = block("12:00", "14:00");

    EXPECT_EQ(local(day.reach(std::nullopt, below).bottom), "14:00");
    // The top stays where it is when only the bottom has a block.
    EXPECT_EQ(day.reach(std::nullopt, below).top, day.band.start);
    // A meeting starting at 12:50 stops it at the quarter hour before.
    day.busy = {BusyInterval{berlin("12:50"), berlin("13:30")}};
    EXPECT_EQ(local(day.reach(std::nullopt, below).bottom), "12:45");
    // The window end comes first, snapped down: 13:10 gives 13:00.
    day.busy.clear();
    day.window.second = berlin("13:10");
    EXPECT_EQ(local(day.reach(std::nullopt, below).bottom), "13:00");
    // A step below 1 is a one-minute grid.
    EXPECT_EQ(local(day.reach(std::nullopt, below, 0).bottom), "13:10");
    // Both sides at once, each into its own block.
    day.window.second = berlin("17:00");
    const auto both = day.reach(block("10:00", "11:00"), below);
    EXPECT_EQ(local(both.top) + "-" + local(both.bottom), "10:00-14:00");
}

} // namespace
} // namespace nelvo
