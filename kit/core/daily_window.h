#pragma once

#include "kit/core/decoded.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace nelvo {

// The working day as two minutes of the day. Values come from files the user can edit,
// hence 64 bits; meaningful values are 0...1439.
struct DailyWindow {
    std::int64_t startMinutes = 9 * 60;
    std::int64_t endMinutes = 17 * 60;  // at or before the start: ends the next day

    bool operator==(const DailyWindow&) const = default;

    // {"endMinutes":1020,"startMinutes":540}
    std::string toJson() const;
    // Both members required, integers.
    static Decoded<DailyWindow> fromJson(std::string_view json);
};

}  // namespace nelvo
