#pragma once

#include <string>
#include <vector>

namespace nelvo {

// The calendar days a day count covers, and which of them are included.
struct IncludedSpan {
    int calendarDays = 0;
    std::vector<std::string> includedKeys;  // in calendar order

    bool operator==(const IncludedSpan&) const = default;
};

}  // namespace nelvo
