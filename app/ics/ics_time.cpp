#include "app/ics/ics_internal.h"

#include "kit/core/civil.h"

#include <algorithm>
#include <cmath>

namespace nelvo {

void prepareLibical()
{
    // Errors in input must never abort the process.
    static const bool prepared = [] {
        icalerror_set_errors_are_fatal(0);
        return true;
    }();
    (void)prepared;
}

ComponentPtr parseComponent(const std::string& text)
{
    return ComponentPtr(icalparser_parse_string(text.c_str()));
}

IcsZone IcsZone::ofUtc()
{
    IcsZone z;
    z.isUtc = true;
    return z;
}

IcsZone IcsZone::ofCalendar(const TimeZone& zone)
{
    IcsZone z;
    z.calendar.emplace(zone);
    return z;
}

IcsZone IcsZone::ofIcal(icaltimezone* zone)
{
    IcsZone z;
    z.ical = zone;
    return z;
}

namespace IcsTime {

bool isUsable(const icaltimetype& t)
{
    if (icaltime_is_null_time(t) || t.year < IcsBounds::minYear || t.year > IcsBounds::maxYear ||
        !Civil::isValidDate(t.year, t.month, t.day))
        return false;
    return t.is_date || (t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 &&
                         t.second >= 0 && t.second <= 60);
}

std::int64_t dayNumber(const icaltimetype& t)
{
    return Civil::daysFromCivil(t.year, t.month, t.day);
}

double naiveSeconds(const icaltimetype& t)
{
    const double days = static_cast<double>(dayNumber(t));
    if (t.is_date)
        return days * 86400.0;
    return days * 86400.0 + t.hour * 3600.0 + t.minute * 60.0 + std::min(t.second, 59);
}

icaltimetype naiveWall(double unixSeconds, bool isDate)
{
    const auto whole = static_cast<std::int64_t>(std::floor(unixSeconds));
    const std::int64_t days = Civil::floorDiv(whole, 86400);
    const std::int64_t secondOfDay = whole - days * 86400;
    const auto ymd = Civil::civilFromDays(days);
    icaltimetype t = icaltime_null_time();
    t.year = static_cast<int>(ymd.year);
    t.month = ymd.month;
    t.day = ymd.day;
    if (isDate) {
        t.is_date = 1;
    } else {
        t.hour = static_cast<int>(secondOfDay / 3600);
        t.minute = static_cast<int>(secondOfDay / 60 % 60);
        t.second = static_cast<int>(secondOfDay % 60);
    }
    return t;
}

std::optional<Date> instant(const IcsZone& zone, icaltimetype t)
{
    if (!isUsable(t))
        return std::nullopt;
    if (zone.isUtc)
        return Date::fromUnixSeconds(naiveSeconds(t));
    if (zone.calendar)
        return zone.calendar->date(t.year, t.month, t.day, t.is_date ? 0 : t.hour,
                                   t.is_date ? 0 : t.minute,
                                   t.is_date ? 0 : std::min(t.second, 59));
    t.zone = nullptr;
    int isDaylight = 0;
    const int offset = icaltimezone_get_utc_offset(zone.ical, &t, &isDaylight);
    return Date::fromUnixSeconds(naiveSeconds(t) - offset);
}

icaltimetype wallAt(const IcsZone& zone, Date date, bool isDate)
{
    if (zone.isUtc)
        return naiveWall(date.unixSeconds(), isDate);
    if (zone.calendar) {
        const auto p = zone.calendar->parts(date);
        icaltimetype t = icaltime_null_time();
        t.year = static_cast<int>(p.year);
        t.month = p.month;
        t.day = p.day;
        if (isDate)
            t.is_date = 1;
        else {
            t.hour = p.hour;
            t.minute = p.minute;
            t.second = p.second;
        }
        return t;
    }
    icaltimetype utc = naiveWall(date.unixSeconds(), false);
    utc.zone = icaltimezone_get_utc_timezone();
    int isDaylight = 0;
    const int offset = icaltimezone_get_utc_offset_of_utc_time(zone.ical, &utc, &isDaylight);
    return naiveWall(date.unixSeconds() + offset, isDate);
}

Date endOf(const IcsZone& zone, icaltimetype wall, Date start, const IcsSpan& span)
{
    if (span.days <= 0)
        return start.addingSeconds(span.seconds);
    wall.zone = nullptr;
    icaltime_adjust(&wall, span.days, 0, 0, 0);
    const auto shifted = instant(zone, wall);
    const Date base = shifted ? *shifted : start.addingSeconds(span.days * 86400.0);
    return base.addingSeconds(span.seconds);
}

bool overlaps(Date start, Date end, Date from, Date to)
{
    if (start == end)
        return start >= from && start < to;
    return start < to && end > from;
}

std::optional<IcsSpan> span(const icaldurationtype& d)
{
    if (d.is_neg)
        return IcsSpan{};
    const double days = d.days + 7.0 * d.weeks;
    const double seconds = d.hours * 3600.0 + d.minutes * 60.0 + d.seconds;
    if (days + seconds / 86400.0 > IcsBounds::maxSpanDays)
        return std::nullopt;
    return IcsSpan{.days = static_cast<int>(days), .seconds = seconds};
}

}  // namespace IcsTime

}  // namespace nelvo
