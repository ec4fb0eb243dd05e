#pragma once

#include "kit/core/date.h"
#include "kit/core/time_zone.h"
#include "kit/model/render_zone.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nelvo {

// What every renderer is told besides the slots: the zones, the clock and the title. It holds
// no event data, so none can reach an output.
struct RenderOptions {
    std::vector<RenderZone> zones;       // display order; one table column each
    TimeZone primary = TimeZone::utc();  // defines calendar days and single-zone times
    bool use24Hour = false;
    std::optional<std::string> heading;
    // First and last day on screen (the second an instant inside the last day); appended to
    // the table heading when present.
    std::optional<std::pair<Date, Date>> dateRange;
    std::optional<TimeZone> rangeZone;  // zone of `dateRange`; the primary zone when empty

    bool operator==(const RenderOptions&) const = default;
};

}  // namespace nelvo
