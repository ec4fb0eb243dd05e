#pragma once

#include "kit/core/availability_engine.h"
#include "kit/core/busy_interval.h"
#include "kit/core/date.h"
#include "kit/core/slot.h"
#include "kit/core/time_zone.h"
#include "kit/model/reserved_block.h"

#include <cstdint>
#include <optional>
#include <span>
#include <utility>

namespace nelvo {

// How far a free band may be pulled outward to give back time trimmed off it earlier.
namespace BandReach {

// The grid the application passes: the engine's, so a restored band ends where a slot would.
inline constexpr std::int64_t stepMinutes = AvailabilityEngine::applicationSnapMinutes;

struct Reach {
    Date top;     // the earliest instant the band's top may be dragged to
    Date bottom;  // the latest instant the band's bottom may be dragged to

    bool operator==(const Reach&) const = default;
};

// A side may grow only into the reserved block adjoining it there (`above`, `below`; absent:
// that edge stays put), only as far as that block, the day's `window` (start, end) and, at the
// top, the advance-notice `cutoff` allow, never across `busy` time, and onto the grid of `step`
// minutes from local midnight in `zone` (a step below 1 counts as 1). The reach never lies
// inside the band: where the limits would, the band's own edge is returned.
Reach reach(const Slot& band, const std::optional<ReservedBlock>& above,
            const std::optional<ReservedBlock>& below, std::span<const BusyInterval> busy,
            const std::pair<Date, Date>& window, Date cutoff, std::int64_t step,
            const TimeZone& zone);

}  // namespace BandReach

}  // namespace nelvo
