#pragma once

#include "app/ics/ics_internal.h"

#include "kit/core/civil.h"

#include <cstdint>
#include <vector>

namespace nelvo {

// The occurrences of a rule repeating within a day (SECONDLY, MINUTELY, HOURLY), worked out
// day by day on the wall clock: which days the rule allows, and on such a day which times.
// The cost is the number of candidate times of the days asked for, never a search.
class IcsSubDaily {
public:
    IcsSubDaily(const icalrecurrencetype& rule, const icaltimetype& start);

    // False for parts this does not expand (BYSETPOS, BYYEARDAY, BYWEEKNO, numbered
    // weekdays, other calendar scales); RFC 5545 leaves most of them to longer rules.
    bool isSupported() const { return m_isSupported; }

    // The first day to walk for a window whose first day is `windowDay`. With COUNT the
    // walk starts at the first occurrence, or, when every period holds one occurrence,
    // at the last one before the window, the count lowered by those passed over.
    std::int64_t firstDayFor(std::int64_t windowDay);
    bool matchesDay(std::int64_t day) const;

    // Calls `f(naiveSeconds)` for the rule's times on `day`, in order, from the first
    // occurrence on, until `f` returns false.
    template <typename F>
    void forEachTime(std::int64_t day, F&& f) const
    {
        const std::int64_t dayStart = day * 86400;
        for (int h : m_hours)
            for (int m : m_minutes)
                for (int s : m_seconds) {
                    const std::int64_t t = dayStart + h * 3600 + m * 60 + s;
                    if (t < m_start)
                        continue;
                    const std::int64_t periods =
                        Civil::floorDiv(t, m_unit) - Civil::floorDiv(m_start, m_unit);
                    if (periods % m_interval != 0)
                        continue;
                    if (!f(static_cast<double>(t)))
                        return;
                }
    }

    // One occurrence passed; with COUNT, the rule is exhausted after the last.
    void count();
    bool isExhausted() const { return m_hasCount && m_remaining <= 0; }

private:
    bool m_isSupported = true;
    std::int64_t m_start = 0;     // naive seconds of the first occurrence
    std::int64_t m_unit = 1;      // 1, 60 or 3600
    std::int64_t m_interval = 1;  // in units
    bool m_hasCount = false;
    std::int64_t m_remaining = 0;
    bool m_hasByParts = false;
    std::vector<int> m_hours, m_minutes, m_seconds;
    std::vector<int> m_months, m_monthDays, m_weekdays;  // weekdays 0 = Sunday
};

}  // namespace nelvo
