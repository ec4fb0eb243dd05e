#include "kit/canvas/canvas_rules.h"

#include <algorithm>
#include <cmath>

namespace nelvo::CanvasRules {

namespace {

constexpr std::int64_t minutesPerDay = 24 * 60;

std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

std::int64_t ceilDiv(std::int64_t a, std::int64_t b)
{
    return -floorDiv(-a, b);
}

// Window minutes come from files the user can edit: keep arithmetic on them far from overflow.
std::int64_t tamed(std::int64_t minutes)
{
    constexpr std::int64_t limit = std::int64_t{1} << 40;
    return std::clamp(minutes, -limit, limit);
}

}  // namespace

HourRange hourRange(std::span<const DailyWindow> windows)
{
    if (windows.empty())
        return defaultHourRange;
    std::int64_t earliestStart = INT64_MAX;
    std::int64_t latestEnd = INT64_MIN;
    for (const DailyWindow& window : windows) {
        const std::int64_t start = tamed(window.startMinutes);
        std::int64_t end = tamed(window.endMinutes);
        if (end <= start)
            end += minutesPerDay;
        earliestStart = std::min(earliestStart, start);
        latestEnd = std::max(latestEnd, end);
    }
    const std::int64_t first = std::clamp<std::int64_t>(
        std::max<std::int64_t>(1, floorDiv(earliestStart, 60)) - 1, 0, latestLastHour - 1);
    const std::int64_t last =
        std::max(std::min<std::int64_t>(ceilDiv(latestEnd, 60) + 1, latestLastHour), first + 1);
    return HourRange{.firstHour = static_cast<int>(first), .lastHour = static_cast<int>(last)};
}

DailyWindow window(const DailyWindow& current, WindowEdge edge, double rawMinutes)
{
    if (!std::isfinite(rawMinutes))
        return current;
    // Far outside any day, the pointer means the same as just outside it.
    constexpr double limit = 4.0 * minutesPerDay;
    const auto proposed = static_cast<std::int64_t>(
        std::round(std::clamp(rawMinutes, -limit, limit) / stepMinutes) * stepMinutes);

    const std::int64_t start = tamed(current.startMinutes);
    const std::int64_t end = tamed(current.endMinutes);
    DailyWindow result = current;
    if (edge == WindowEdge::start) {
        const std::int64_t s = std::clamp<std::int64_t>(proposed, 0, latestEdgeMinute);
        const bool isSameDay = start < end;
        result.startMinutes =
            isSameDay && s >= end ? std::max<std::int64_t>(0, end - stepMinutes) : s;
    } else if (proposed >= minutesPerDay) {
        result.endMinutes = std::min(start, proposed - minutesPerDay);
    } else if (proposed <= start) {
        result.endMinutes = std::min(start + stepMinutes, latestEdgeMinute);
    } else {
        result.endMinutes = proposed;
    }
    return result;
}

}  // namespace nelvo::CanvasRules
