#include "kit/core/calendar.h"

#include "kit/core/civil.h"
#include "kit/core/icu_zone.h"

#include <unicode/tztrans.h>

#include <cmath>

namespace nelvo {

namespace {

// Instants further than this from the epoch are out of range (about ±9,500 years);
// it keeps every conversion to integers below exact and defined.
constexpr double maxAbsSeconds = 3.0e11;

// More than any change of offset the zone data holds (offsets stay within about ±16 hours).
constexpr double maxOffsetChangeMillis = 48.0 * 3600 * 1000;

bool inRange(double seconds)
{
    return std::isfinite(seconds) && std::fabs(seconds) < maxAbsSeconds;
}

}  // namespace

Calendar::Calendar(TimeZone zone) : m_zone(std::move(zone)) {}

double Calendar::localSeconds(Date date) const
{
    return date.unixSeconds() + m_zone.offsetSeconds(date);
}

std::optional<Date> Calendar::fromLocalSeconds(double local) const
{
    if (!inRange(local))
        return std::nullopt;
    // A wall time well inside the offset span of the last lookup happens once, at that
    // offset: neither neighbouring span reaches it, so ICU need not be asked.
    const OffsetSpan span = offsetSpan(m_zone, Date::fromUnixSeconds(local));
    const double guess = (local - span.seconds) * 1000.0;
    if (guess >= span.fromMillis + maxOffsetChangeMillis &&
        guess < span.toMillis - maxOffsetChangeMillis)
        return Date::fromUDate(guess);
    const auto& zone = icuZone(m_zone);
    int32_t raw = 0, dst = 0;
    UErrorCode status = U_ZERO_ERROR;
    // "Former" for a repeated time takes the offset before the transition: the earlier instant.
    zone.getOffsetFromLocal(local * 1000.0, UCAL_TZ_LOCAL_FORMER, UCAL_TZ_LOCAL_FORMER, raw, dst,
                            status);
    if (U_FAILURE(status))
        return std::nullopt;
    const Date candidate = Date::fromUnixSeconds(local - (raw + dst) / 1000.0);
    // Within a millisecond: far from 1970 the round trip through doubles is not exact.
    if (std::fabs(localSeconds(candidate) - local) < 0.001)
        return candidate;
    // The wall time was skipped. With the earlier offset the candidate lies past the jump;
    // the next valid time is the transition itself.
    icu::TimeZoneTransition transition;
    if (zone.getPreviousTransition(candidate.udate(), true, transition))
        return Date::fromUDate(transition.getTime());
    return candidate;
}

std::int64_t Calendar::localDay(Date date) const
{
    return static_cast<std::int64_t>(std::floor(localSeconds(date) / 86400.0));
}

bool Calendar::dayExists(std::int64_t days) const
{
    // A day exists when its first moment (midnight, or the next valid time) lies on it.
    const auto first = fromLocalSeconds(static_cast<double>(days) * 86400.0);
    return first && localDay(*first) == days;
}

Calendar::Parts Calendar::parts(Date date) const
{
    double local = localSeconds(date);
    if (!inRange(local))
        local = 0;
    const auto whole = static_cast<std::int64_t>(std::floor(local));
    const std::int64_t days = Civil::floorDiv(whole, 86400);
    const std::int64_t secondOfDay = whole - days * 86400;
    const auto ymd = Civil::civilFromDays(days);
    return Parts{.year = ymd.year,
                 .month = ymd.month,
                 .day = ymd.day,
                 .hour = static_cast<int>(secondOfDay / 3600),
                 .minute = static_cast<int>(secondOfDay / 60 % 60),
                 .second = static_cast<int>(secondOfDay % 60),
                 .weekday = Civil::weekdayFromDays(days)};
}

Date Calendar::startOfDay(Date date) const
{
    const Parts p = parts(date);
    if (auto midnight = this->date(p.year, p.month, p.day))
        return *midnight;
    return date;
}

std::optional<Date> Calendar::addingDays(std::int64_t days, Date date) const
{
    if (!inRange(date.seconds) || days > maxDayOffset || days < -maxDayOffset)
        return std::nullopt;
    const double local = localSeconds(date);
    const double dayStart = std::floor(local / 86400.0) * 86400.0;
    const double timeOfDay = local - dayStart;
    const auto targetDays = static_cast<std::int64_t>(dayStart / 86400.0) + days;
    const auto result = fromLocalSeconds(static_cast<double>(targetDays) * 86400.0 + timeOfDay);
    if (!result)
        return std::nullopt;
    // A skipped time resolves forward; when that leaves the target day, the day is missing.
    if (localDay(*result) != targetDays && !dayExists(targetDays))
        return std::nullopt;
    return result;
}

std::optional<Date> Calendar::addingMinutes(std::int64_t minutes, Date date) const
{
    const double seconds = date.seconds + static_cast<double>(minutes) * 60.0;
    if (!inRange(seconds))
        return std::nullopt;
    return Date{seconds};
}

std::int64_t Calendar::minutesBetween(Date from, Date to) const
{
    const double minutes = std::trunc((to - from) / 60.0);
    if (!std::isfinite(minutes))
        return 0;
    return static_cast<std::int64_t>(std::fmax(-9.0e15, std::fmin(9.0e15, minutes)));
}

std::int64_t Calendar::daysBetween(Date from, Date to) const
{
    const double a = localSeconds(from);
    const double b = localSeconds(to);
    if (!inRange(a) || !inRange(b))
        return 0;
    const auto dayA = static_cast<std::int64_t>(std::floor(a / 86400.0));
    const auto dayB = static_cast<std::int64_t>(std::floor(b / 86400.0));
    std::int64_t days = dayB - dayA;
    const double timeA = a - dayA * 86400.0;
    const double timeB = b - dayB * 86400.0;
    if (days > 0 && timeB < timeA)
        --days;
    else if (days < 0 && timeB > timeA)
        ++days;
    return days;
}

std::optional<Date> Calendar::settingTime(Date day, std::int64_t hour, std::int64_t minute) const
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || !inRange(day.seconds))
        return std::nullopt;
    const Parts p = parts(day);
    return date(p.year, p.month, p.day, static_cast<int>(hour), static_cast<int>(minute));
}

std::optional<Date> Calendar::date(std::int64_t year, int month, int day, int hour, int minute,
                                   int second) const
{
    if (year < -9000 || year > 9000 || !Civil::isValidDate(year, month, day) || hour < 0 ||
        hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    const std::int64_t days = Civil::daysFromCivil(year, month, day);
    const auto result =
        fromLocalSeconds(static_cast<double>(days * 86400 + hour * 3600 + minute * 60 + second));
    if (!result)
        return std::nullopt;
    // A skipped time moves forward within its day; a whole missing day yields nothing.
    if (localDay(*result) != days && !dayExists(days))
        return std::nullopt;
    return result;
}

}  // namespace nelvo
