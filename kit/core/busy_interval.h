#pragma once

#include "kit/core/date.h"

namespace nelvo {

// A busy stretch of time, half-open: [start, end). Not ordered: sort by `start` explicitly.
struct BusyInterval {
    Date start;
    Date end;

    bool operator==(const BusyInterval&) const = default;
};

}  // namespace nelvo

template <>
struct std::hash<nelvo::BusyInterval> {
    std::size_t operator()(const nelvo::BusyInterval& s) const noexcept
    {
        std::size_t seed = std::hash<nelvo::Date>{}(s.start);
        nelvo::hashCombine(seed, std::hash<nelvo::Date>{}(s.end));
        return seed;
    }
};
