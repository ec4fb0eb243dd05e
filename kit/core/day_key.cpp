#include "kit/core/day_key.h"

#include "kit/core/civil.h"

#include <cstdio>

namespace nelvo::DayKey {

namespace {

struct KeyParts {
    int year, month, day;
};

std::optional<KeyParts> parseKey(std::string_view key)
{
    if (key.size() != 10 || key[4] != '-' || key[7] != '-')
        return std::nullopt;
    int values[3] = {0, 0, 0};
    const int starts[3] = {0, 5, 8};
    const int lengths[3] = {4, 2, 2};
    for (int field = 0; field < 3; ++field) {
        for (int i = 0; i < lengths[field]; ++i) {
            const char c = key[starts[field] + i];
            if (c < '0' || c > '9')
                return std::nullopt;
            values[field] = values[field] * 10 + (c - '0');
        }
    }
    if (!Civil::isValidDate(values[0], values[1], values[2]))
        return std::nullopt;
    return KeyParts{values[0], values[1], values[2]};
}

}  // namespace

DateFormatter formatter(const TimeZone& zone)
{
    return DateFormatter("yyyy-MM-dd", zone, "en_US_POSIX");
}

// Written from the calendar's fields: the same text the formatter gives, at a fraction of
// the cost (the engine names every day it walks).
std::string string(Date date, const Calendar& calendar)
{
    const auto p = calendar.parts(date);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04lld-%02d-%02d", static_cast<long long>(p.year),
                  p.month, p.day);
    return buffer;
}

std::string string(Date date, const TimeZone& zone)
{
    return string(date, Calendar(zone));
}

std::optional<Date> date(std::string_view key, const TimeZone& zone)
{
    const auto parts = parseKey(key);
    if (!parts)
        return std::nullopt;
    return Calendar(zone).date(parts->year, parts->month, parts->day);
}

std::optional<int> weekday(std::string_view key)
{
    const auto parts = parseKey(key);
    if (!parts)
        return std::nullopt;
    return Civil::weekdayFromDays(Civil::daysFromCivil(parts->year, parts->month, parts->day));
}

}  // namespace nelvo::DayKey
