#include "kit/core/availability_engine.h"

#include "kit/core/day_key.h"

#include <algorithm>

namespace nelvo::AvailabilityEngine {

namespace {

// Cursor walk of the merged busy list between `from` and `to`. `first` moves past intervals
// that end at or before `from`.
void freeGaps(std::span<const BusyInterval> busy, std::size_t& first, Date from, Date to,
              std::vector<Slot>& out)
{
    while (first < busy.size() && busy[first].end <= from)
        ++first;
    Date cursor = from;
    for (std::size_t i = first; i < busy.size(); ++i) {
        const BusyInterval& interval = busy[i];
        if (interval.start >= to)
            break;  // sorted by start: nothing later can overlap
        if (interval.end <= from)
            continue;
        if (interval.start > cursor)
            out.push_back(Slot{cursor, interval.start});
        if (interval.end >= cursor)
            cursor = interval.end;
    }
    if (cursor < to)
        out.push_back(Slot{cursor, to});
}

std::vector<Slot> mergeSlots(std::vector<Slot> slots)
{
    std::stable_sort(slots.begin(), slots.end(),
                     [](const Slot& a, const Slot& b) { return a.start < b.start; });
    std::vector<Slot> result;
    result.reserve(slots.size());
    for (const Slot& slot : slots) {
        if (!result.empty() && slot.start < result.back().end)
            result.back().end = std::max(result.back().end, slot.end);
        else
            result.push_back(slot);
    }
    return result;
}

// r = n mod s, taken non-negative.
std::int64_t positiveRemainder(std::int64_t n, std::int64_t s)
{
    const std::int64_t r = n % s;
    return r < 0 ? r + s : r;
}

// Saturating: hostile grid steps must not overflow.
std::int64_t add(std::int64_t a, std::int64_t b)
{
    std::int64_t sum;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? INT64_MAX : INT64_MIN;
    return sum;
}

Date snappedStart(Date midnight, Date start, std::int64_t step, const Calendar& calendar)
{
    const std::int64_t n = calendar.minutesBetween(midnight, start);
    const std::int64_t r = positiveRemainder(n, step);
    std::optional<Date> candidate;
    if (r == 0) {
        candidate = calendar.addingMinutes(n, midnight);
        if (candidate && *candidate != start)
            candidate = calendar.addingMinutes(add(n, step), midnight);
    } else {
        candidate = calendar.addingMinutes(add(n, step - r), midnight);
    }
    return candidate.value_or(start);
}

Date snappedEnd(Date midnight, Date end, std::int64_t step, const Calendar& calendar)
{
    const std::int64_t n = calendar.minutesBetween(midnight, end);
    const std::int64_t r = positiveRemainder(n, step);
    std::optional<Date> candidate;
    if (r == 0) {
        candidate = calendar.addingMinutes(n, midnight);
        if (candidate && *candidate == end)
            return end;
    } else {
        candidate = calendar.addingMinutes(n - r, midnight);
    }
    return candidate.value_or(end);
}

}  // namespace

std::vector<BusyInterval> normalizedBusy(std::span<const BusyInterval> busy)
{
    std::vector<BusyInterval> sorted;
    sorted.reserve(busy.size());
    for (const BusyInterval& interval : busy) {
        if (interval.end > interval.start)
            sorted.push_back(interval);
    }
    std::sort(sorted.begin(), sorted.end(),
              [](const BusyInterval& a, const BusyInterval& b) { return a.start < b.start; });
    std::vector<BusyInterval> result;
    result.reserve(sorted.size());
    for (const BusyInterval& interval : sorted) {
        if (!result.empty() && interval.start <= result.back().end)
            result.back().end = std::max(result.back().end, interval.end);
        else
            result.push_back(interval);
    }
    return result;
}

std::optional<std::pair<Date, Date>> windowBounds(Date dayStart, const DailyWindow& window,
                                                  const Calendar& calendar)
{
    // Division and remainder of any 64-bit value are defined; out-of-range hours fail below.
    const auto start =
        calendar.settingTime(dayStart, window.startMinutes / 60, window.startMinutes % 60);
    if (!start)
        return std::nullopt;
    Date endBase = dayStart;
    if (window.startMinutes >= window.endMinutes) {
        const auto next = calendar.addingDays(1, dayStart);
        if (!next)
            return std::nullopt;
        endBase = calendar.startOfDay(*next);
    }
    const auto end = calendar.settingTime(endBase, window.endMinutes / 60, window.endMinutes % 60);
    if (!end)
        return std::nullopt;
    return std::make_pair(*start, *end);
}

std::vector<Slot> slots(std::span<const BusyInterval> busy, const AvailabilityRequest& request)
{
    if (request.dayCount <= 0)
        return {};
    const Calendar calendar(request.zone);
    const Date firstMidnight = calendar.startOfDay(request.rangeStart);
    const Date cutoff = request.now.addingSeconds(request.leadTime);
    const std::vector<BusyInterval> merged = normalizedBusy(busy);
    const std::int64_t step = request.snapMinutes >= 2 ? request.snapMinutes : 1;
    const double minimumSeconds = static_cast<double>(request.minimumMinutes) * 60.0;

    std::vector<Slot> found;
    std::size_t scanFrom = 0;
    // Beyond the calendar's reach every day fails: stop there rather than count to 2^63.
    const std::int64_t dayCount = std::min(request.dayCount, Calendar::maxDayOffset + 1);
    for (std::int64_t i = 0; i < dayCount; ++i) {
        const auto shifted = calendar.addingDays(i, firstMidnight);
        if (!shifted)
            continue;
        const Date midnight = calendar.startOfDay(*shifted);
        const std::string key = DayKey::string(midnight, calendar);
        if (request.exclusions.isExcluded(key, calendar.weekday(midnight)))
            continue;

        const DailyWindow window = request.overrides.effectiveWindow(key, request.window);
        const auto bounds = windowBounds(midnight, window, calendar);
        if (!bounds)
            continue;
        const Date effectiveStart = std::max(bounds->first, cutoff);
        if (effectiveStart >= bounds->second)
            continue;

        // Window starts increase from day to day and merged intervals are disjoint, so what
        // ended before this day's start is behind every later day too.
        std::vector<Slot> gaps;
        freeGaps(merged, scanFrom, effectiveStart, bounds->second, gaps);
        for (const Slot& gap : gaps) {
            const Date start = snappedStart(midnight, gap.start, step, calendar);
            const Date end = snappedEnd(midnight, gap.end, step, calendar);
            if (end > start)
                found.push_back(Slot{start, end});
        }
    }

    std::vector<Slot> result = mergeSlots(std::move(found));
    std::erase_if(result, [&](const Slot& slot) { return slot.end - slot.start < minimumSeconds; });
    return result;
}

}  // namespace nelvo::AvailabilityEngine
