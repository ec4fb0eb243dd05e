#pragma once

#include "kit/core/time_zone.h"
#include "ui/canvas/column_geometry.h"

#include <QString>

#include <utility>
#include <vector>

namespace nelvo {

// What every column shares besides its own day: the geometry, the primary zone, the clock
// style and the other rulers (name and zone, in ruler order). A column repaints only when
// this or its day changes.
struct ColumnContext {
    ColumnGeometry geometry;
    TimeZone zone = TimeZone::utc();
    bool use24Hour = false;
    std::vector<std::pair<QString, TimeZone>> otherZones;

    bool operator==(const ColumnContext&) const = default;
};

}  // namespace nelvo
