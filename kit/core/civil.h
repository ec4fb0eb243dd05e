#pragma once

#include <cstdint>

// Proleptic Gregorian day arithmetic on plain numbers (after H. Hinnant's algorithms).
namespace nelvo::Civil {

struct YearMonthDay {
    std::int64_t year = 1970;
    int month = 1;  // 1...12
    int day = 1;    // 1...31
    bool operator==(const YearMonthDay&) const = default;
};

// Days since 1970-01-01 of a (valid) date.
constexpr std::int64_t daysFromCivil(std::int64_t y, int m, int d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

constexpr YearMonthDay civilFromDays(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = yoe + era * 400;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {y + (m <= 2), m, d};
}

constexpr bool isLeapYear(std::int64_t y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

constexpr int daysInMonth(std::int64_t y, int m)
{
    constexpr int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeapYear(y) ? 29 : lengths[m - 1];
}

constexpr bool isValidDate(std::int64_t y, int m, int d)
{
    return m >= 1 && m <= 12 && d >= 1 && d <= daysInMonth(y, m);
}

// 1 = Sunday ... 7 = Saturday. 1970-01-01 was a Thursday.
constexpr int weekdayFromDays(std::int64_t z)
{
    const std::int64_t w = (z % 7 + 7 + 4) % 7;  // 0 = Sunday
    return static_cast<int>(w) + 1;
}

constexpr std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

}  // namespace nelvo::Civil
