#pragma once

#include "kit/core/date.h"

namespace nelvo {

// A free stretch of time, half-open: [start, end). Not ordered: sort by `start` explicitly.
struct Slot {
    Date start;
    Date end;

    bool operator==(const Slot&) const = default;
};

}  // namespace nelvo

template <>
struct std::hash<nelvo::Slot> {
    std::size_t operator()(const nelvo::Slot& s) const noexcept
    {
        std::size_t seed = std::hash<nelvo::Date>{}(s.start);
        nelvo::hashCombine(seed, std::hash<nelvo::Date>{}(s.end));
        return seed;
    }
};
