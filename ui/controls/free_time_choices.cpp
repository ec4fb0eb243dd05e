#include "ui/controls/free_time_choices.h"

#include <algorithm>

namespace nelvo::FreeTimeChoices {
namespace {

std::vector<Duration> withCurrent(std::vector<Duration> list, std::int64_t current,
                                  std::string label)
{
    const bool listed = std::any_of(list.begin(), list.end(),
                                    [&](const Duration& d) { return d.minutes == current; });
    if (!listed) {
        auto at = std::find_if(list.begin(), list.end(),
                               [&](const Duration& d) { return d.minutes > current; });
        list.insert(at, Duration{current, std::move(label)});
    }
    return list;
}

}  // namespace

std::string minutesLabel(std::int64_t minutes)
{
    const std::int64_t hours = minutes / 60;
    const std::int64_t rest = minutes % 60;
    if (minutes < 60 || (rest != 0 && minutes < 120))
        return std::to_string(minutes) + " min";
    if (rest != 0)
        return std::to_string(hours) + " h " + std::to_string(rest) + " min";
    return std::to_string(hours) + (hours == 1 ? " hour" : " hours");
}

std::vector<Duration> shortestFreeTime(std::int64_t current)
{
    std::vector<Duration> list;
    for (std::int64_t m : {15, 30, 45, 60})
        list.push_back({m, std::to_string(m) + " min"});
    return withCurrent(std::move(list), current, std::to_string(current) + " min");
}

std::vector<Duration> advanceNotice(std::int64_t current)
{
    std::vector<Duration> list{{0, "None"},      {30, "30 min"},   {60, "1 hour"},
                               {120, "2 hours"}, {240, "4 hours"}, {1440, "Next day"}};
    return withCurrent(std::move(list), current, minutesLabel(current));
}

std::string dayCountText(std::int64_t count)
{
    return count == 1 ? "1 day" : std::to_string(count) + " days";
}

}  // namespace nelvo::FreeTimeChoices
