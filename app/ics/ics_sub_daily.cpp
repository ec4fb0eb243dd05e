#include "app/ics/ics_sub_daily.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace nelvo {

namespace {

template <std::size_t N>
std::vector<int> sortedValues(const short (&list)[N])
{
    std::vector<int> out;
    for (std::size_t i = 0; i < N && list[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
        out.push_back(list[i]);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

std::vector<int> range(int from, int to)
{
    std::vector<int> out(static_cast<std::size_t>(to - from + 1));
    std::iota(out.begin(), out.end(), from);
    return out;
}

template <std::size_t N>
bool isEmpty(const short (&list)[N])
{
    return list[0] == ICAL_RECURRENCE_ARRAY_MAX;
}

}  // namespace

IcsSubDaily::IcsSubDaily(const icalrecurrencetype& rule, const icaltimetype& start)
{
    m_start = static_cast<std::int64_t>(IcsTime::naiveSeconds(start));
    m_unit = rule.freq == ICAL_SECONDLY_RECURRENCE   ? 1
             : rule.freq == ICAL_MINUTELY_RECURRENCE ? 60
                                                     : 3600;
    m_interval = std::max<int>(rule.interval, 1);
    m_hasCount = rule.count > 0;
    m_remaining = rule.count;
    m_isSupported = isEmpty(rule.by_set_pos) && isEmpty(rule.by_year_day) &&
                    isEmpty(rule.by_week_no) && !(rule.rscale && *rule.rscale);

    const int second = start.is_date ? 0 : std::min(start.second, 59);
    const int minute = start.is_date ? 0 : start.minute;
    m_hours = isEmpty(rule.by_hour) ? range(0, 23) : sortedValues(rule.by_hour);
    m_minutes = !isEmpty(rule.by_minute) ? sortedValues(rule.by_minute)
                : m_unit <= 60           ? range(0, 59)
                                         : std::vector<int>{minute};
    m_seconds = !isEmpty(rule.by_second) ? sortedValues(rule.by_second)
                : m_unit == 1            ? range(0, 59)
                                         : std::vector<int>{second};
    std::erase_if(m_seconds,
                  [](int s) { return s > 59; });  // a leap second is never on the wall clock

    m_months = sortedValues(rule.by_month);
    m_monthDays = sortedValues(rule.by_month_day);
    for (int day : sortedValues(rule.by_day)) {
        if (icalrecurrencetype_day_position(static_cast<short>(day)) != 0)
            m_isSupported = false;  // "the second Monday" needs a month or a year
        m_weekdays.push_back(
            static_cast<int>(icalrecurrencetype_day_day_of_week(static_cast<short>(day))) - 1);
    }
    m_hasByParts = !isEmpty(rule.by_hour) || !isEmpty(rule.by_minute) || !isEmpty(rule.by_second) ||
                   !m_months.empty() || !m_monthDays.empty() || !m_weekdays.empty();
}

std::int64_t IcsSubDaily::firstDayFor(std::int64_t windowDay)
{
    const std::int64_t startDay = Civil::floorDiv(m_start, 86400);
    if (!m_hasCount)
        return std::max(startDay, windowDay);
    if (m_hasByParts || windowDay <= startDay)
        return startDay;
    // One occurrence per period: move to the last one before the window.
    const std::int64_t period = m_unit * m_interval;
    const std::int64_t passed = std::min((windowDay * 86400 - m_start) / period, m_remaining - 1);
    if (passed > 0) {
        m_start += passed * period;
        m_remaining -= passed;
    }
    return Civil::floorDiv(m_start, 86400);
}

bool IcsSubDaily::matchesDay(std::int64_t day) const
{
    const auto ymd = Civil::civilFromDays(day);
    if (!m_months.empty() && !std::binary_search(m_months.begin(), m_months.end(), ymd.month))
        return false;
    if (!m_monthDays.empty()) {
        const int fromEnd = ymd.day - Civil::daysInMonth(ymd.year, ymd.month) - 1;
        if (!std::binary_search(m_monthDays.begin(), m_monthDays.end(), ymd.day) &&
            !std::binary_search(m_monthDays.begin(), m_monthDays.end(), fromEnd))
            return false;
    }
    if (!m_weekdays.empty()) {
        const int weekday = Civil::weekdayFromDays(day) - 1;
        if (std::find(m_weekdays.begin(), m_weekdays.end(), weekday) == m_weekdays.end())
            return false;
    }
    return true;
}

void IcsSubDaily::count()
{
    if (m_hasCount)
        --m_remaining;
}

}  // namespace nelvo
