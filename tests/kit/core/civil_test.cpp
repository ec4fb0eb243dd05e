#include "kit/core/civil.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using Civil::YearMonthDay;

// The next and previous day counted the plain way, month lengths and leap years by hand:
// an independent check of the closed formulas.
YearMonthDay nextDay(YearMonthDay d)
{
    if (d.day < Civil::daysInMonth(d.year, d.month))
        return {d.year, d.month, d.day + 1};
    if (d.month < 12)
        return {d.year, d.month + 1, 1};
    return {d.year + 1, 1, 1};
}

YearMonthDay previousDay(YearMonthDay d)
{
    if (d.day > 1)
        return {d.year, d.month, d.day - 1};
    if (d.month > 1)
        return {d.year, d.month - 1, Civil::daysInMonth(d.year, d.month - 1)};
    return {d.year - 1, 12, 31};
}

// Every day from 1970-01-01 out to the years ±10,000 (past the ±9,500 years Calendar takes), both
// ways: each day number names the next calendar day, converts back to itself, and falls on the next
// weekday.
TEST(Civil, EveryDayRoundTripsOverTwentyThousandYears)
{
    constexpr std::int64_t furthestYear = 10'000;
    for (const int direction : {1, -1}) {
        YearMonthDay date{1970, 1, 1};
        std::int64_t days = 0;
        int weekday = 5;  // a Thursday
        while (date.year > -furthestYear && date.year < furthestYear) {
            const YearMonthDay computed = Civil::civilFromDays(days);
            ASSERT_EQ(computed, date) << days;
            ASSERT_EQ(Civil::daysFromCivil(date.year, date.month, date.day), days)
                << date.year << "-" << date.month << "-" << date.day;
            ASSERT_TRUE(Civil::isValidDate(date.year, date.month, date.day));
            ASSERT_EQ(Civil::weekdayFromDays(days), weekday) << days;
            date = direction > 0 ? nextDay(date) : previousDay(date);
            days += direction;
            weekday = (weekday - 1 + direction + 7) % 7 + 1;
        }
    }
}

// Leap years, valid dates and negative days: the round trip above. What it never meets is here.
TEST(Civil, InvalidDatesAndFloorDivision)
{
    EXPECT_FALSE(Civil::isValidDate(2025, 2, 29));
    EXPECT_FALSE(Civil::isValidDate(2025, 4, 31));
    EXPECT_FALSE(Civil::isValidDate(2025, 0, 1));
    EXPECT_FALSE(Civil::isValidDate(2025, 13, 1));
    EXPECT_FALSE(Civil::isValidDate(2025, 1, 0));
    EXPECT_EQ(Civil::floorDiv(-7, 2), -4);
    EXPECT_EQ(Civil::floorDiv(-8, 2), -4);
    EXPECT_EQ(Civil::floorDiv(7, -2), -4);
    EXPECT_EQ(Civil::floorDiv(-1, 86400), -1);
}

}  // namespace
}  // namespace nelvo
