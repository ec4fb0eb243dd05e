#pragma once

#include "kit/canvas/canvas_rules.h"
#include "kit/canvas/time_axis.h"
#include "kit/core/calendar.h"
#include "ui/canvas/canvas_style.h"

namespace nelvo {

// Where the hours of the canvas sit vertically: the hour range, the zoom and the inset above
// the first hour. Every column, ruler and handle places itself with the same value.
struct ColumnGeometry {
    CanvasRules::HourRange hours;
    double pointsPerHour = 44;

    double contentHeight() const
    {
        return CanvasStyle::topInset + (hours.lastHour - hours.firstHour) * pointsPerHour;
    }
    // Minutes from the start of the day (next-day minutes count from 1440) to content y.
    double y(double minutes) const
    {
        return CanvasStyle::topInset + (minutes / 60.0 - hours.firstHour) * pointsPerHour;
    }
    // The unsnapped minute of the day at content y; the model's rule snaps it.
    double minutes(double y) const
    {
        return (y - CanvasStyle::topInset) / pointsPerHour * 60.0 + hours.firstHour * 60.0;
    }
    TimeAxis axis(Date day, const Calendar& calendar) const
    {
        return TimeAxis(day, hours.firstHour, hours.lastHour, pointsPerHour, calendar);
    }

    bool operator==(const ColumnGeometry&) const = default;
};

}  // namespace nelvo
