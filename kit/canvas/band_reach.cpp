#include "kit/canvas/band_reach.h"

#include "kit/core/calendar.h"

#include <algorithm>

namespace nelvo::BandReach {

namespace {

std::int64_t positiveRemainder(std::int64_t n, std::int64_t s)
{
    const std::int64_t r = n % s;
    return r < 0 ? r + s : r;
}

// The grid point at or after `instant`, counted in elapsed minutes from its local midnight;
// the instant itself when the point cannot be formed. As the engine snaps a slot's start.
Date snappedUp(Date instant, std::int64_t step, const Calendar& calendar)
{
    const Date midnight = calendar.startOfDay(instant);
    const std::int64_t n = calendar.minutesBetween(midnight, instant);
    const std::int64_t r = positiveRemainder(n, step);
    std::optional<Date> candidate = calendar.addingMinutes(n, midnight);
    if (r != 0 || (candidate && *candidate != instant))  // off the grid, or leftover seconds
        candidate = calendar.addingMinutes(n - r + step, midnight);
    return candidate.value_or(instant);
}

// The grid point at or before `instant`. As the engine snaps a slot's end.
Date snappedDown(Date instant, std::int64_t step, const Calendar& calendar)
{
    const Date midnight = calendar.startOfDay(instant);
    const std::int64_t n = calendar.minutesBetween(midnight, instant);
    const std::int64_t r = positiveRemainder(n, step);
    return calendar.addingMinutes(n - r, midnight).value_or(instant);
}

}  // namespace

Reach reach(const Slot& band, const std::optional<ReservedBlock>& above,
            const std::optional<ReservedBlock>& below, std::span<const BusyInterval> busy,
            const std::pair<Date, Date>& window, Date cutoff, std::int64_t step,
            const TimeZone& zone)
{
    const Calendar calendar(zone);
    // Grid steps come from settings the user can edit; a huge one must not overflow.
    step = std::clamp<std::int64_t>(step, 1, 1'000'000);
    Reach result{.top = band.start, .bottom = band.end};

    if (above) {
        const Date lower = std::max({window.first, above->start, cutoff});
        Date limit = lower;
        for (const BusyInterval& interval : busy) {
            if (interval.end > lower && interval.start < band.start)
                limit = std::max(limit, interval.end);
        }
        result.top = std::min(band.start, snappedUp(limit, step, calendar));
    }
    if (below) {
        const Date upper = std::min(window.second, below->end);
        Date limit = upper;
        for (const BusyInterval& interval : busy) {
            if (interval.start < upper && interval.end > band.end)
                limit = std::min(limit, interval.start);
        }
        result.bottom = std::max(band.end, snappedDown(limit, step, calendar));
    }
    return result;
}

}  // namespace nelvo::BandReach
