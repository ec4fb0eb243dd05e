#pragma once

#include "kit/core/date.h"

#include <string>

namespace nelvo {

// One calendar a source offers. `id` is its identity.
struct CalendarInfo {
    std::string id;
    std::string title;
    std::string accountTitle;
    std::string colorHex;  // "#3B82F6"
    bool isBirthdayOrSubscription = false;
    // The address book's birthdays and anniversaries, as the source knows them (the title is
    // translated); such a calendar is also isBirthdayOrSubscription.
    bool isBirthdays = false;

    bool operator==(const CalendarInfo&) const = default;
};

}  // namespace nelvo

template <>
struct std::hash<nelvo::CalendarInfo> {
    std::size_t operator()(const nelvo::CalendarInfo& c) const noexcept
    {
        std::size_t seed = std::hash<std::string>{}(c.id);
        nelvo::hashCombine(seed, std::hash<std::string>{}(c.title));
        nelvo::hashCombine(seed, std::hash<std::string>{}(c.accountTitle));
        nelvo::hashCombine(seed, std::hash<std::string>{}(c.colorHex));
        nelvo::hashCombine(seed, std::hash<bool>{}(c.isBirthdayOrSubscription));
        nelvo::hashCombine(seed, std::hash<bool>{}(c.isBirthdays));
        return seed;
    }
};
