#pragma once

#include "kit/core/time_zone.h"

#include <optional>
#include <string>

namespace nelvo {

// One time-zone ruler.
struct ZoneEntry {
    std::string id;                    // as the zone database names it; may not resolve
    std::optional<std::string> label;  // the user's caption; empty: the zone's display name

    // Empty when `id` names no zone.
    std::optional<TimeZone> zone() const;
    // The zone's display name with `label` as caption; for an id that names no zone, the
    // label, else the id itself.
    std::string displayName() const;

    bool operator==(const ZoneEntry&) const = default;
};

}  // namespace nelvo
