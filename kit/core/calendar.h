#pragma once

#include "kit/core/date.h"
#include "kit/core/time_zone.h"

#include <cstdint>
#include <optional>

namespace nelvo {

// The Gregorian calendar in one zone: the day arithmetic the whole system reckons with.
// Wall times that a zone skips resolve to the next time that exists ("next valid"); wall
// times that occur twice resolve to the earlier instant ("first").
class Calendar {
public:
    struct Parts {
        std::int64_t year = 2001;
        int month = 1;    // 1...12
        int day = 1;      // 1...31
        int hour = 0;     // 0...23
        int minute = 0;   // 0...59
        int second = 0;   // 0...59
        int weekday = 2;  // 1 = Sunday ... 7 = Saturday
        bool operator==(const Parts&) const = default;
    };

    // The furthest addingDays() reaches, in days either way.
    static constexpr std::int64_t maxDayOffset = 4'000'000;

    explicit Calendar(TimeZone zone);

    const TimeZone& zone() const { return m_zone; }

    // The local date and time of an instant.
    Parts parts(Date date) const;
    int weekday(Date date) const { return parts(date).weekday; }
    int hour(Date date) const { return parts(date).hour; }
    int minute(Date date) const { return parts(date).minute; }

    // Local midnight of the instant's day (the first instant of that day, where a zone
    // skips midnight itself).
    Date startOfDay(Date date) const;

    // The same wall time `days` calendar days later (or earlier); a skipped wall time moves
    // forward, into the next day if need be. Empty when that calendar day does not exist in
    // the zone (Pacific/Apia skipped 2011-12-30) or is beyond `maxDayOffset`.
    std::optional<Date> addingDays(std::int64_t days, Date date) const;
    // Elapsed time: `minutes` × 60 seconds later. Empty when out of range.
    std::optional<Date> addingMinutes(std::int64_t minutes, Date date) const;

    // Whole elapsed minutes from `from` to `to`, the fraction dropped (toward zero).
    std::int64_t minutesBetween(Date from, Date to) const;
    // Whole calendar days from `from` to `to`: a day counts once its wall time is reached.
    std::int64_t daysBetween(Date from, Date to) const;

    // The instant at hour:minute:00 on the instant's local day; a skipped time resolves to the
    // next valid one, even on the next day (Nuuk skips Saturday 23:00 to Sunday 00:00). Empty
    // when the hour is outside 0...23 or the minute outside 0...59 (no rolling into the next
    // day), or when the day itself does not exist.
    std::optional<Date> settingTime(Date day, std::int64_t hour, std::int64_t minute) const;

    // The instant of a local date and time; the same policies as above. Empty for an
    // impossible date or time.
    std::optional<Date> date(std::int64_t year, int month, int day, int hour = 0, int minute = 0,
                             int second = 0) const;

private:
    // Local wall-clock seconds since 1970-01-01 of an instant.
    double localSeconds(Date date) const;
    // The instant of a local wall-clock time, with the policies above.
    std::optional<Date> fromLocalSeconds(double local) const;
    // Days since 1970-01-01 of the instant's local date.
    std::int64_t localDay(Date date) const;
    bool dayExists(std::int64_t days) const;

    TimeZone m_zone;
};

}  // namespace nelvo
