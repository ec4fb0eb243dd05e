#include "kit/canvas/time_axis.h"

#include "kit/core/civil.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace nelvo {

namespace {

constexpr std::int64_t minutesPerDay = 24 * 60;

// Calendar days between two local dates, counted by date alone: comparing wall times would
// miss a day where a zone skips midnight and the day starts at 01:00.
std::int64_t dayDifference(Date from, Date to, const Calendar& calendar)
{
    const Calendar::Parts a = calendar.parts(from);
    const Calendar::Parts b = calendar.parts(to);
    return Civil::daysFromCivil(b.year, b.month, b.day) -
           Civil::daysFromCivil(a.year, a.month, a.day);
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

TimeAxis::TimeAxis(Date day, int firstHour, int lastHour, double pointsPerHour, Calendar calendar)
    : m_dayStart(calendar.startOfDay(day)), m_firstHour(firstHour), m_lastHour(lastHour),
      m_pointsPerHour(pointsPerHour), m_calendar(std::move(calendar))
{
}

double TimeAxis::y(Date date) const
{
    const Calendar::Parts parts = m_calendar.parts(date);
    const std::int64_t days = dayDifference(m_dayStart, m_calendar.startOfDay(date), m_calendar);
    const std::int64_t minutes = days * minutesPerDay + parts.hour * 60 + parts.minute;
    return static_cast<double>(minutes - std::int64_t{m_firstHour} * 60) / 60.0 * m_pointsPerHour;
}

Date TimeAxis::date(double y) const
{
    // A zero zoom or a wild position must not reach the integer conversion; a million days
    // either way is past anything a column shows.
    constexpr double limit = 1.0e6 * minutesPerDay;
    double offset = std::round(y / m_pointsPerHour * 60.0);
    if (!std::isfinite(offset))
        offset = 0;
    const auto minutes = static_cast<std::int64_t>(std::clamp(offset, -limit, limit)) +
                         std::int64_t{m_firstHour} * 60;

    const std::int64_t dayOffset = floorDiv(minutes, minutesPerDay);
    const std::int64_t rest = minutes - dayOffset * minutesPerDay;
    const Date base = m_calendar.addingDays(dayOffset, m_dayStart).value_or(m_dayStart);
    return m_calendar.settingTime(base, rest / 60, rest % 60).value_or(base);
}

}  // namespace nelvo
