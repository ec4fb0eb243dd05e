#pragma once

#include "kit/core/date.h"

#include <string>

namespace nelvo {

// One occurrence of a calendar event, independent of its current times.
struct AdjustmentKey {
    std::string eventID;
    Date occurrenceStart;

    bool operator==(const AdjustmentKey&) const = default;
};

}  // namespace nelvo

template <>
struct std::hash<nelvo::AdjustmentKey> {
    std::size_t operator()(const nelvo::AdjustmentKey& k) const noexcept
    {
        std::size_t seed = std::hash<std::string>{}(k.eventID);
        nelvo::hashCombine(seed, std::hash<nelvo::Date>{}(k.occurrenceStart));
        return seed;
    }
};
