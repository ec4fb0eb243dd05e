#include "kit/core/window_overrides.h"

namespace nelvo {

DailyWindow WindowOverrides::effectiveWindow(std::string_view dayKey,
                                             const DailyWindow& shared) const
{
    DailyWindow window = shared;
    const auto it = byDay.find(std::string(dayKey));
    if (it == byDay.end())
        return window;
    if (it->second.start)
        window.startMinutes = *it->second.start;
    if (it->second.end)
        window.endMinutes = *it->second.end;
    return window;
}

bool WindowOverrides::isOverridden(WindowEdge edge, std::string_view dayKey) const
{
    const auto it = byDay.find(std::string(dayKey));
    if (it == byDay.end())
        return false;
    return edge == WindowEdge::start ? it->second.start.has_value() : it->second.end.has_value();
}

void WindowOverrides::set(WindowEdge edge, std::int64_t minutes, const std::string& dayKey)
{
    DayOverride& day = byDay[dayKey];
    (edge == WindowEdge::start ? day.start : day.end) = minutes;
}

void WindowOverrides::clear(WindowEdge edge, std::string_view dayKey)
{
    const auto it = byDay.find(std::string(dayKey));
    if (it == byDay.end())
        return;
    (edge == WindowEdge::start ? it->second.start : it->second.end).reset();
    if (!it->second.start && !it->second.end)
        byDay.erase(it);
}

void WindowOverrides::prune(std::string_view dayKey)
{
    byDay.erase(byDay.begin(), byDay.lower_bound(std::string(dayKey)));
}

}  // namespace nelvo
