#include "kit/canvas/band_reach.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nelvo {
namespace {

// An instant of 2025-03-04 in Berlin by its local time, and back.
Date berlin(const std::string& hhmm)
{
    return test::at(("2025-03-04T" + hhmm + ":00+01:00").c_str());
}
std::string local(Date d)
{
    return test::iso(d.addingSeconds(3600)).substr(11, 5);
}

struct Day {
    Slot band{berlin("11:00"), berlin("12:00")};
    std::pair<Date, Date> window{berlin("09:00"), berlin("17:00")};
    Date cutoff = berlin("08:00");
    std::vector<BusyInterval> busy;

    // "top-bottom" in local time, growing into blocks given as "hh:mm-hh:mm".
    std::string reach(const char* above, const char* below = nullptr) const
    {
        const auto block = [](const char* span) -> std::optional<ReservedBlock> {
            if (!span)
                return std::nullopt;
            const std::string s = span;
            return ReservedBlock{
                .id = {}, .start = berlin(s.substr(0, 5)), .end = berlin(s.substr(6, 5))};
        };
        const auto r = BandReach::reach(band, block(above), block(below), busy, window, cutoff,
                                        BandReach::stepMinutes, test::zone("Europe/Berlin"));
        return local(r.top) + "-" + local(r.bottom);
    }
};

TEST(BandReach, GrowsIntoAdjacentBlocksUpToBusyTimeTheWindowAndTheCutoff)
{
    Day day;
    // No adjacent blocks: the band's own edges.
    EXPECT_EQ(day.reach(nullptr), "11:00-12:00");
    // The whole blocks above and below come back.
    EXPECT_EQ(day.reach("10:00-11:00", "12:00-14:00"), "10:00-14:00");
    // Meetings stop it at the quarter hour after 10:20 and before 12:50.
    day.busy = {{berlin("09:30"), berlin("10:20")}, {berlin("12:50"), berlin("13:30")}};
    EXPECT_EQ(day.reach("10:00-11:00", "12:00-14:00"), "10:30-12:45");
    // A cutoff at 10:40 comes later still.
    day.cutoff = berlin("10:40");
    EXPECT_EQ(day.reach("10:00-11:00"), "10:45-12:00");
    // Busy time reaching into the band: never a point inside it.
    day.busy = {{berlin("10:30"), berlin("11:10")}};
    EXPECT_EQ(day.reach("10:00-11:00"), "11:00-12:00");
    // Blocks beyond the window stop at its edges, on the grid counted from midnight.
    day = Day{};
    day.window = {berlin("09:10"), berlin("13:10")};
    EXPECT_EQ(day.reach("07:00-11:00", "12:00-15:00"), "09:15-13:00");
}

}  // namespace
}  // namespace nelvo
