#pragma once

#include "kit/render/day_group.h"

#include <optional>
#include <string>
#include <vector>

namespace nelvo {

// The multi-zone table, computed once and only laid out by the renderers.
struct RenderedTable {
    std::optional<std::string> heading;  // with the date range appended when there is one
    std::vector<std::string> zoneLabels;
    std::vector<DayGroup> days;

    bool operator==(const RenderedTable&) const = default;
};

}  // namespace nelvo
