#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nelvo {

// The lists the settings offer for the shortest free time and the advance notice.
namespace FreeTimeChoices {

struct Duration {
    std::int64_t minutes = 0;
    std::string label;

    bool operator==(const Duration&) const = default;
};

// 15, 30, 45 and 60 minutes as "15 min" ...; a `current` value outside the list (one stored
// by hand or by an earlier version) is added in ascending order with the same kind of label,
// so the menu always shows what is in effect.
std::vector<Duration> shortestFreeTime(std::int64_t current);

// "None", "30 min", "1 hour", "2 hours", "4 hours", "Next day" (1440). A `current` value
// outside the list is added in order, labelled like the rest ("90 min", "3 hours").
std::vector<Duration> advanceNotice(std::int64_t current);

// "45 min", "1 hour", "3 hours", "1 h 30 min": how a value outside the lists is labelled.
std::string minutesLabel(std::int64_t minutes);

// "1 day", otherwise the number followed by " days".
std::string dayCountText(std::int64_t count);

}  // namespace FreeTimeChoices

}  // namespace nelvo
