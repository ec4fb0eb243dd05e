#include "app/ics/ics_expander.h"

#include "app/ics/ics_rule_check.h"
#include "app/ics/ics_sub_daily.h"
#include "app/ics/ics_text.h"

#include "kit/core/civil.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <limits>
#include <memory>

namespace nelvo {

using IcsText::inQuotes;
using IcsTime::instant;
using IcsTime::naiveSeconds;
using IcsTime::naiveWall;
using IcsTime::wallAt;

namespace {

// Processor time of this thread, in seconds: the budget counts work, not waiting.
double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

template <std::size_t N>
bool isEmpty(const short (&list)[N])
{
    return list[0] == ICAL_RECURRENCE_ARRAY_MAX;
}

bool hasByParts(const icalrecurrencetype& r)
{
    return !isEmpty(r.by_second) || !isEmpty(r.by_minute) || !isEmpty(r.by_hour) ||
           !isEmpty(r.by_day) || !isEmpty(r.by_month_day) || !isEmpty(r.by_year_day) ||
           !isEmpty(r.by_week_no) || !isEmpty(r.by_month) || !isEmpty(r.by_set_pos);
}

}  // namespace

std::size_t IcsExpander::OverrideKeyHash::operator()(const OverrideKey& k) const noexcept
{
    std::size_t seed = std::hash<std::string_view>{}(k.uid);
    hashCombine(seed, std::hash<double>{}(k.start));
    return seed;
}

// An event's series (no occurrence) or one overridden occurrence of it.
IcsExpander::OverrideKey IcsExpander::readerKey(const Item& item)
{
    return {item.eventID, item.recurrenceId ? item.recurrenceId->seconds
                                            : -std::numeric_limits<double>::infinity()};
}

// One rule of one series being expanded.
struct IcsExpander::RuleRun {
    const Item& item;
    const IcsZone& zone;
    icalrecurrencetype rule;
    std::optional<Date> until;
    icaltimetype start;  // the iterator's first occurrence, moved ahead where allowed
    Date lookFrom;       // occurrences starting earlier cannot reach the window
    Date end;            // occurrences starting here or later cannot reach the window
    Date reachFrom;      // occurrences starting earlier end before the window, exactly
};

IcsExpander::IcsExpander(Date from, Date to, const std::string& calendarID,
                         const std::string& colorHex, std::size_t maxOccurrences,
                         std::vector<CalendarEvent>& out, SourceProblemList& problems)
    : m_from(from), m_to(to), m_calendarID(calendarID), m_colorHex(colorHex),
      m_maxOccurrences(maxOccurrences), m_out(out), m_problems(problems)
{
}

bool IcsExpander::run(std::span<const IcsDocument::Data* const> documents)
{
    index(documents);
    for (const IcsDocument::Data* data : documents) {
        m_data = data;
        m_steps = 0;
        m_outOfBudget = false;
        m_cpuStart = cpuSeconds();
        for (const Item& item : data->items) {
            if (isRepeated(item))
                continue;
            if (item.recurrenceId)
                replacement(item);
            else
                occurrences(item);
            if (m_full)
                return false;
            if (m_outOfBudget)
                break;
        }
    }
    return true;
}

void IcsExpander::index(std::span<const IcsDocument::Data* const> documents)
{
    const bool isFolder = documents.size() > 1;
    for (const IcsDocument::Data* data : documents) {
        for (const Item& item : data->items) {
            if (!item.hasUid)
                continue;
            if (isFolder)
                m_firstReader.emplace(readerKey(item), data);
            if (item.recurrenceId) {
                m_overridden.insert({item.eventID, item.recurrenceId->seconds});
                if (item.isThisAndFuture)
                    m_futureChanges[item.eventID].push_back(&item);
            } else if (item.isSeries()) {
                m_masters.emplace(item.eventID, &item);
            }
        }
    }
    for (auto& [_, changes] : m_futureChanges)
        std::sort(changes.begin(), changes.end(), [](const Item* a, const Item* b) {
            return a->recurrenceId->seconds < b->recurrenceId->seconds;
        });
}

bool IcsExpander::isRepeated(const Item& item) const
{
    if (!item.hasUid || m_firstReader.empty())
        return false;
    const auto it = m_firstReader.find(readerKey(item));
    return it != m_firstReader.end() && it->second != m_data;
}

void IcsExpander::replacement(const Item& item)
{
    const Item* master = nullptr;
    if (auto it = m_masters.find(item.eventID); it != m_masters.end())
        master = it->second;
    Date end = item.end;
    if (!item.hasOwnSpan && master) {
        const IcsZone& zone = m_data->zones[static_cast<std::size_t>(item.zone)];
        end = IcsTime::endOf(zone, item.startWall, item.start, master->span);
    }
    if (!IcsTime::overlaps(item.start, end, m_from, m_to))
        return;
    IcsEventMapping::Traits traits = item.traits;
    if (traits.title.empty() && master)
        traits.title = master->traits.title;
    push(item, traits, *item.recurrenceId, item.start, end);
}

void IcsExpander::occurrences(const Item& item)
{
    if (!item.isSeries()) {
        if (!isReplaced(item, item.start) && !isExcluded(item, item.start, item.startWall) &&
            IcsTime::overlaps(item.start, item.end, m_from, m_to))
            push(item, item.traits, item.start, item.start, item.end);
        return;
    }
    m_seen.clear();
    const IcsZone& zone = m_data->zones[static_cast<std::size_t>(item.zone)];
    // DTSTART is always the first occurrence, whether or not the rule would make it.
    candidate(item, item.start, item.end, item.startWall);
    for (const Occurrence& extra : item.rdates)
        candidate(item, extra.start, extra.end, wallAt(zone, extra.start, item.traits.isAllDay));
    for (const std::string& rule : item.rules) {
        if (m_full || m_outOfBudget)
            return;
        expandRule(item, zone, rule);
    }
}

void IcsExpander::expandRule(const Item& item, const IcsZone& zone, const std::string& text)
{
    RuleRun run{.item = item,
                .zone = zone,
                .rule = icalrecurrencetype_from_string(text.c_str()),
                .until = std::nullopt,
                .start = item.startWall,
                .lookFrom = m_from,
                .end = m_to,
                .reachFrom = m_from};
    icalrecurrencetype& rule = run.rule;
    if (rule.freq == ICAL_NO_RECURRENCE)
        return;
    if (!IcsRuleCheck::canMatch(rule)) {
        m_problems.add({.kind = SourceProblem::Kind::malformed,
                        .path = m_data->origin,
                        .message = "a repeat rule in " + inQuotes(m_data->origin) + " (line " +
                                   std::to_string(item.line) +
                                   ") can never match; only its first occurrence is read"});
        return;
    }
    if (!readUntil(run))
        return;
    // Occurrences starting this early may still reach into the window, also when a change
    // to this and later occurrences moves them.
    double shiftBack = 0, shiftForward = 0;
    if (auto it = m_futureChanges.find(item.eventID); it != m_futureChanges.end()) {
        for (const Item* change : it->second) {
            const double shift = change->start - *change->recurrenceId;
            shiftBack = std::max(shiftBack, shift);
            shiftForward = std::max(shiftForward, -shift);
        }
    }
    run.reachFrom = m_from.addingSeconds(-item.span.days * 86400.0 - item.span.seconds - shiftBack);
    run.lookFrom = run.reachFrom.addingSeconds(-2 * 86400.0);
    run.end = m_to.addingSeconds(shiftForward);
    run.start.zone = nullptr;
    if (rule.freq <= ICAL_HOURLY_RECURRENCE) {
        expandByDays(run);
        return;
    }
    skipAhead(run);
    iterate(run);
}

// UNTIL is compared by the expander, as an instant: libical would compare a UTC UNTIL with
// wall times of another zone, losing the last occurrence east of Greenwich. False when the
// UNTIL cannot be read.
bool IcsExpander::readUntil(RuleRun& run) const
{
    icalrecurrencetype& rule = run.rule;
    if (!icaltime_is_null_time(rule.until)) {
        icaltimetype u = rule.until;
        const bool isUtc = icaltime_is_utc(u);
        u.zone = nullptr;
        if (run.item.traits.isAllDay) {
            u.is_date = 1;
            run.until = instant(m_data->zones[primaryZone], u);
        } else if (u.is_date) {
            u.is_date = 0;
            u.hour = 23;
            u.minute = 59;
            u.second = 59;
            run.until = instant(run.zone, u);
        } else {
            run.until = isUtc ? instant(m_data->zones[utcZone], u) : instant(run.zone, u);
        }
        if (!run.until)
            return false;
        rule.until = icaltime_null_time();
    }
    return true;
}

// A rule whose every period holds one occurrence (no BY parts) may start at its last
// occurrence before the window, a COUNT being lowered by the occurrences passed over.
// Rules without COUNT are moved by libical itself (icalrecur_iterator_set_start).
bool IcsExpander::skipAhead(RuleRun& run) const
{
    icalrecurrencetype& rule = run.rule;
    if (rule.count <= 1 || hasByParts(rule))
        return false;
    const icaltimetype target = wallAt(run.zone, run.lookFrom, run.start.is_date != 0);
    const int interval = std::max<int>(rule.interval, 1);
    std::int64_t passed = 0;
    if (rule.freq == ICAL_DAILY_RECURRENCE || rule.freq == ICAL_WEEKLY_RECURRENCE) {
        const double period = (rule.freq == ICAL_DAILY_RECURRENCE ? 1 : 7) * 86400.0 * interval;
        const double gap = naiveSeconds(target) - naiveSeconds(run.start);
        passed = gap > 0 ? static_cast<std::int64_t>(std::floor(gap / period)) : 0;
        passed = std::min<std::int64_t>(passed, rule.count - 1);
        if (passed <= 0)
            return false;
        run.start = naiveWall(naiveSeconds(run.start) + static_cast<double>(passed) * period,
                              run.start.is_date != 0);
    } else if (run.start.day <= 28) {
        // Months and years: every month has the 28th, so each period holds one.
        const int months = rule.freq == ICAL_MONTHLY_RECURRENCE ? interval : 12 * interval;
        const std::int64_t gap =
            (target.year - run.start.year) * 12LL + (target.month - run.start.month) - 1;
        passed = gap > 0 ? gap / months : 0;
        passed = std::min<std::int64_t>(passed, rule.count - 1);
        if (passed <= 0)
            return false;
        const std::int64_t month0 = run.start.year * 12LL + (run.start.month - 1) + passed * months;
        run.start.year = static_cast<int>(month0 / 12);
        run.start.month = static_cast<int>(month0 % 12) + 1;
    } else {
        return false;
    }
    rule.count -= static_cast<int>(passed);
    return true;
}

void IcsExpander::iterate(RuleRun& run)
{
    const Item& item = run.item;
    icalrecur_iterator* iterator = icalrecur_iterator_new(run.rule, run.start);
    if (!iterator)
        return;
    const std::unique_ptr<icalrecur_iterator, void (*)(icalrecur_iterator*)> owner(
        iterator, icalrecur_iterator_free);
    if (run.rule.count == 0) {
        const icaltimetype target = wallAt(run.zone, run.lookFrom, item.traits.isAllDay);
        if (naiveSeconds(target) > naiveSeconds(run.start))
            icalrecur_iterator_set_start(iterator, target);
    }
    while (!m_full) {
        if (!step(run))
            return;
        const icaltimetype t = icalrecur_iterator_next(iterator);
        if (icaltime_is_null_time(t))
            return;
        const auto s = instant(run.zone, t);
        if (!s)
            continue;
        if ((run.until && *s > *run.until) || *s >= run.end)
            return;
        if (*s >= run.lookFrom)
            candidate(item, *s, IcsTime::endOf(run.zone, t, *s, item.span), t);
    }
}

// Rules repeating within a day are expanded here, day by day over the window, rather than
// by libical, whose search for the next match walks second by second and can take minutes
// for one answer.
void IcsExpander::expandByDays(RuleRun& run)
{
    const Item& item = run.item;
    IcsSubDaily days(run.rule, run.start);
    if (!days.isSupported()) {
        incomplete(item, "its repeat rule is too intricate to expand");
        return;
    }
    // Wall times this early cannot reach the window, whatever the zone's changes of offset
    // (never three hours at once): passed over without work.
    const double naiveLow = naiveSeconds(wallAt(run.zone, run.reachFrom, false)) - 3 * 3600.0;
    const std::int64_t firstDay =
        days.firstDayFor(Civil::floorDiv(static_cast<std::int64_t>(naiveLow), 86400));
    const std::int64_t lastDay = IcsTime::dayNumber(wallAt(run.zone, run.end, false)) + 1;
    for (std::int64_t day = firstDay; day <= lastDay && !m_full; ++day) {
        if (!step(run))
            return;
        if (!days.matchesDay(day))
            continue;
        bool isOver = false;
        days.forEachTime(day, [&](double naive) {
            if (days.isExhausted())
                return isOver = true, false;
            if (naive < naiveLow) {
                days.count();
                return true;
            }
            if (!step(run))
                return isOver = true, false;
            const icaltimetype t = naiveWall(naive, false);
            const auto s = instant(run.zone, t);
            days.count();
            if (!s)
                return true;
            if ((run.until && *s > *run.until) || *s >= run.end)
                return isOver = true, false;
            if (*s >= run.lookFrom)
                candidate(item, *s, IcsTime::endOf(run.zone, t, *s, item.span), t);
            return !m_full;
        });
        if (isOver)
            return;
    }
}

// Counts one step of the current file's budget; false, with the rule reported, when spent.
bool IcsExpander::step(const RuleRun& run)
{
    if (m_outOfBudget)
        return false;
    ++m_steps;
    if (m_steps > IcsDocument::maxStepsPerFile) {
        incomplete(run.item, "it repeats too often");
        return false;
    }
    if (m_steps % 64 == 0 && cpuSeconds() - m_cpuStart > IcsDocument::cpuSecondsPerFile) {
        incomplete(run.item, "it takes too long");
        return false;
    }
    return true;
}

void IcsExpander::incomplete(const Item& item, const std::string& why)
{
    m_outOfBudget = true;
    m_problems.add({.kind = SourceProblem::Kind::incompleteExpansion,
                    .path = m_data->origin,
                    .message = "cannot expand the repeating event in " + inQuotes(m_data->origin) +
                               " (line " + std::to_string(item.line) +
                               ") to the end of the range: " + why});
}

void IcsExpander::candidate(const Item& item, Date start, Date end, const icaltimetype& wall)
{
    if (!m_seen.insert(start.seconds).second)
        return;
    if (isReplaced(item, start) || isExcluded(item, start, wall))
        return;
    if (const Item* change = futureChange(item, start)) {
        pushChanged(item, *change, start, wall);
        return;
    }
    if (IcsTime::overlaps(start, end, m_from, m_to))
        push(item, item.traits, start, start, end);
}

// The latest change to "this and later occurrences" made at or before `start`.
const Item* IcsExpander::futureChange(const Item& item, Date start) const
{
    if (!item.hasUid || m_futureChanges.empty())
        return nullptr;
    const auto it = m_futureChanges.find(item.eventID);
    if (it == m_futureChanges.end())
        return nullptr;
    const Item* found = nullptr;
    for (const Item* change : it->second) {
        if (*change->recurrenceId > start)
            break;
        found = change;
    }
    return found;
}

// An occurrence moved as the change moved its own: by the same shift of the wall clock,
// with the change's length and traits.
void IcsExpander::pushChanged(const Item& item, const Item& change, Date start,
                              const icaltimetype& wall)
{
    const IcsZone& zone = m_data->zones[static_cast<std::size_t>(item.zone)];
    const bool isAllDay = item.traits.isAllDay;
    const double shift = naiveSeconds(wallAt(zone, change.start, isAllDay)) -
                         naiveSeconds(wallAt(zone, *change.recurrenceId, isAllDay));
    const icaltimetype movedWall = naiveWall(naiveSeconds(wall) + shift, isAllDay);
    const Date moved = instant(zone, movedWall).value_or(start.addingSeconds(shift));
    const Date end =
        IcsTime::endOf(zone, movedWall, moved, change.hasOwnSpan ? change.span : item.span);
    if (!IcsTime::overlaps(moved, end, m_from, m_to))
        return;
    IcsEventMapping::Traits traits = change.traits;
    if (traits.title.empty())
        traits.title = item.traits.title;
    push(item, traits, start, moved, end);
}

bool IcsExpander::isReplaced(const Item& item, Date start) const
{
    return item.hasUid && !m_overridden.empty() &&
           m_overridden.count({item.eventID, start.seconds});
}

bool IcsExpander::isExcluded(const Item& item, Date start, const icaltimetype& wall)
{
    if (std::binary_search(item.exdates.begin(), item.exdates.end(), start.seconds))
        return true;
    return !item.exdateDays.empty() &&
           std::binary_search(item.exdateDays.begin(), item.exdateDays.end(),
                              IcsTime::dayNumber(wall));
}

void IcsExpander::push(const Item& item, const IcsEventMapping::Traits& traits,
                       Date occurrenceStart, Date start, Date end)
{
    if (m_out.size() >= m_maxOccurrences) {
        m_full = true;
        return;
    }
    m_out.push_back(IcsEventMapping::event(traits, item.eventID, occurrenceStart, start, end,
                                           m_calendarID, m_colorHex));
}

}  // namespace nelvo
