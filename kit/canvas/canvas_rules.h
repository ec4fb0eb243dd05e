#pragma once

#include "kit/core/daily_window.h"
#include "kit/core/window_overrides.h"

#include <cstdint>
#include <span>

namespace nelvo {

// Which hours the canvas shows, and how a dragged window edge becomes new minutes.
namespace CanvasRules {

// Dragged edges land on quarter hours.
inline constexpr std::int64_t stepMinutes = 15;
// The latest start or end a dragged edge can take: 23:45.
inline constexpr std::int64_t latestEdgeMinute = 24 * 60 - stepMinutes;
// The range never reaches past the end of the next day.
inline constexpr int latestLastHour = 48;

// Whole hours from the top to the bottom of a column; hours of the next day count from 24.
struct HourRange {
    int firstHour = 8;
    int lastHour = 18;

    bool operator==(const HourRange&) const = default;
};

// Shown when no window is known.
inline constexpr HourRange defaultHourRange{};

// An hour of margin around the earliest start and the latest end of the windows (overnight
// windows end on the next day); the default range for no windows. `firstHour` stays within
// 0...47 and `lastHour` within `firstHour` + 1...48, whatever minutes the windows hold.
HourRange hourRange(std::span<const DailyWindow> windows);

// The window after dragging `edge` to `rawMinutes` (the minute of the day under the pointer;
// next-day minutes count from 1440). The minute snaps to the nearest quarter hour, halves
// away from zero. A start stays within 00:00...23:45 and at least 15 minutes before a same-day
// end; an end dragged past midnight stops at the start (a 24-hour window); an end dragged to
// or above the start lands 15 minutes after it. A minute that is not a finite number changes
// nothing.
DailyWindow window(const DailyWindow& current, WindowEdge edge, double rawMinutes);

}  // namespace CanvasRules

}  // namespace nelvo
