#include "kit/core/day_exclusions.h"

#include "kit/core/day_key.h"

#include <iterator>

namespace nelvo {

bool DayExclusions::isExcluded(std::string_view dayKey, int weekday) const
{
    const bool weekendFlag = weekday == 1 ? sundaysOff : weekday == 7 ? saturdaysOff : false;
    const bool isToggled = toggled.find(std::string(dayKey)) != toggled.end();
    return weekendFlag != isToggled;
}

void DayExclusions::toggleOnce(const std::string& dayKey)
{
    if (!toggled.erase(dayKey))
        toggled.insert(dayKey);
}

void DayExclusions::setWeekendsOff(bool off)
{
    setWeekendsFlags(off);
    std::erase_if(toggled, [](const std::string& key) {
        const auto weekday = DayKey::weekday(key);
        return weekday && (*weekday == 1 || *weekday == 7);
    });
}

void DayExclusions::prune(std::string_view dayKey)
{
    toggled.erase(toggled.begin(), toggled.lower_bound(std::string(dayKey)));
}

}  // namespace nelvo
