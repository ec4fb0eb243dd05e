#pragma once

#include <string>
#include <vector>

namespace nelvo {

// One day of the multi-zone table.
struct DayGroup {
    std::string label;                           // "Mon, Mar 3", in the primary zone
    std::vector<std::vector<std::string>> rows;  // one per slot; one text per zone

    bool operator==(const DayGroup&) const = default;
};

}  // namespace nelvo
