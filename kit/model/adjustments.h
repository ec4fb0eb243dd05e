#pragma once

#include "kit/core/adjustment_key.h"
#include "kit/core/date.h"
#include "kit/core/day_exclusions.h"
#include "kit/core/decoded.h"
#include "kit/core/slot.h"
#include "kit/core/time_zone.h"
#include "kit/core/window_overrides.h"
#include "kit/model/reserved_block.h"
#include "kit/model/uuid.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace nelvo {

// What the user did to shape free time that is not a setting. The model edits a copy and
// assigns it; undo keeps whole earlier values.
struct Adjustments {
    std::unordered_set<AdjustmentKey> movable;  // freed meetings
    std::vector<ReservedBlock> reserved;        // in creation order
    WindowOverrides overrides;
    DayExclusions exclusions;  // Saturdays and Sundays off, nothing toggled

    // The blocks that end where a free slot starts and start where it ends (the first of
    // each in `reserved`).
    struct Neighbours {
        std::optional<ReservedBlock> before;
        std::optional<ReservedBlock> after;
    };

    // Nothing freed, nothing reserved, no overrides, weekends off.
    static Adjustments empty() { return {}; }

    Neighbours holdsAdjacent(const Slot& slot) const;

    // The user dragged the top (`edge` start) or bottom (`edge` end) of a free band to
    // `target`: the time between the band's edge and the target, snapped inward to
    // `snapMinutes` (below 2: whole minutes) in `zone`, becomes reserved, merged with the
    // neighbouring block on that side. When what stays free is shorter than
    // `minimumMinutes`, the whole band goes (as `remove`). A new block's id comes from `newId`.
    void trim(const Slot& slot, WindowEdge edge, Date target, std::int64_t snapMinutes,
              const TimeZone& zone, std::optional<std::int64_t> minimumMinutes,
              const UuidGenerator& newId);
    // Where trim() puts the dragged edge for the same arguments, for a view to show before
    // the release: the snapped target, kept between the neighbouring block's far end and the
    // slot's other edge. Empty when the whole band would go.
    std::optional<Date> trimmedEdge(const Slot& slot, WindowEdge edge, Date target,
                                    std::int64_t snapMinutes, const TimeZone& zone,
                                    std::optional<std::int64_t> minimumMinutes) const;
    // Takes a whole free band out, merged with the blocks touching it into one new block whose
    // id comes from `newId`.
    void remove(const Slot& slot, const UuidGenerator& newId);
    // Removes, whole, every block that overlaps or touches [slot.start, slot.end).
    void restoreHolds(const Slot& overlapping);
    void toggleMovable(const AdjustmentKey& key);
    // Forgets the past: freed meetings whose latest fetched end is before `now` (and, when
    // `knownEvents` is given, those not in it), blocks ending before `now`, and overrides and
    // toggles of days before `now`'s day in `zone`.
    void prune(Date now, const std::unordered_map<AdjustmentKey, Date>& ends,
               const std::optional<std::unordered_set<AdjustmentKey>>& knownEvents,
               const TimeZone& zone);
    // One entry per block: `trimmed` when a slot ends at its start or starts at its end.
    std::unordered_map<Uuid, HoldKind> holdKinds(std::span<const Slot> slots) const;

    // Equality compares `reserved` in order.
    bool operator==(const Adjustments&) const = default;

    // The file form: pretty-printed, members sorted at every level, instants as
    // "2025-03-07T14:30:00Z" (fractions of a second dropped), ids upper case, ending with
    // a line feed. Texts that are not UTF-8 get U+FFFD for their bad bytes.
    std::string toJson() const;
    // Any wrong type or missing required member fails the whole file. A block repeating an
    // earlier block's id is dropped.
    static Decoded<Adjustments> fromJson(std::string_view json);
};

}  // namespace nelvo
