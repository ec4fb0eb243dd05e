#pragma once

#include "kit/core/time_zone.h"

#include <string>

namespace nelvo {

// One column of a table or one ruler: a zone and the name shown for it.
struct RenderZone {
    TimeZone zone;
    std::string label;

    bool operator==(const RenderZone&) const = default;
};

}  // namespace nelvo
