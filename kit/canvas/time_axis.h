#pragma once

#include "kit/core/calendar.h"
#include "kit/core/date.h"

namespace nelvo {

// Maps instants to vertical positions in one day column and back. Positions follow wall-clock
// time, not elapsed time: on a daylight-saving day the skipped hour and the repeated hour both
// sit at their nominal places. y grows downward from `firstHour`.
class TimeAxis {
public:
    // `day` may be any instant of the column's day; the axis starts at that day's midnight.
    // Hours of the next day count from 24 (`firstHour` 0...47).
    TimeAxis(Date day, int firstHour, int lastHour, double pointsPerHour, Calendar calendar);

    Date dayStart() const { return m_dayStart; }
    int firstHour() const { return m_firstHour; }
    int lastHour() const { return m_lastHour; }
    double pointsPerHour() const { return m_pointsPerHour; }
    const Calendar& calendar() const { return m_calendar; }

    double height() const { return (m_lastHour - m_firstHour) * m_pointsPerHour; }

    // The position of an instant's wall time; seconds are ignored. Instants on other days
    // land above or below the column.
    double y(Date date) const;
    // The instant shown at a position, to the whole minute. A wall time the zone skips gives
    // the next valid time; a repeated one gives its first occurrence.
    Date date(double y) const;

private:
    Date m_dayStart;
    int m_firstHour;
    int m_lastHour;
    double m_pointsPerHour;
    Calendar m_calendar;
};

}  // namespace nelvo
