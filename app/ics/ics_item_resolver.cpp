#include "app/ics/ics_item_resolver.h"

#include "app/ics/ics_text.h"
#include "app/ics/ics_zone_resolver.h"

#include <algorithm>

namespace nelvo {

IcsItemResolver::IcsItemResolver(IcsDocument::Data& data, IcsZoneResolver& zones)
    : m_data(data), m_zones(zones)
{
}

void IcsItemResolver::skip(const Item& item, const std::string& why)
{
    m_data.problems.add({.kind = SourceProblem::Kind::skippedEvent,
                         .path = m_data.origin,
                         .message = "skipped an event in " + IcsText::inQuotes(m_data.origin) +
                                    " (line " + std::to_string(item.line) + "): " + why});
}

bool IcsItemResolver::resolve(Item& item)
{
    item.zone = m_zones.zoneFor(item.rawStart);
    const IcsZone& zone = m_data.zones[static_cast<std::size_t>(item.zone)];
    item.startWall = item.rawStart.wall;
    const auto start = IcsTime::instant(zone, item.startWall);
    if (!start) {
        skip(item, "its start time does not exist");
        return false;
    }
    item.start = *start;
    if (!resolveSpan(item, *start) || !resolveRecurrenceId(item))
        return false;
    resolveRdates(item, zone);
    resolveExdates(item);

    item.rawEnd.reset();
    item.rawRecurrenceId.reset();
    item.rawRdates = {};
    item.rawExdates = {};
    return true;
}

bool IcsItemResolver::resolveSpan(Item& item, Date start)
{
    const IcsZone& zone = m_data.zones[static_cast<std::size_t>(item.zone)];
    const bool isAllDay = item.traits.isAllDay;
    bool isAbsurd = false;
    if (item.rawEnd) {
        const RawTime& end = *item.rawEnd;
        item.hasOwnSpan = true;
        if (isAllDay && end.wall.is_date) {
            const std::int64_t days =
                IcsTime::dayNumber(end.wall) - IcsTime::dayNumber(item.startWall);
            isAbsurd = days > IcsBounds::maxSpanDays;
            item.span.days =
                static_cast<int>(std::clamp<std::int64_t>(days, 1, IcsBounds::maxSpanDays));
        } else if (auto e = IcsTime::instant(m_zones.zoneAt(end), end.wall)) {
            isAbsurd = *e - start > IcsBounds::maxSpanDays * 86400.0;
            item.span.seconds = std::max(*e - start, 0.0);
        }
    } else if (item.rawDuration) {
        item.hasOwnSpan = true;
        const auto span = IcsTime::span(*item.rawDuration);
        isAbsurd = !span;
        item.span = span.value_or(IcsSpan{});
    }
    if (isAbsurd) {
        skip(item, "it lasts longer than a century");
        return false;
    }
    if (isAllDay && item.span.days == 0 && item.span.seconds <= 0)
        item.span.days = 1;  // a date without an end lasts the day
    item.end = IcsTime::endOf(zone, item.startWall, item.start, item.span);
    return true;
}

bool IcsItemResolver::resolveRecurrenceId(Item& item)
{
    if (!item.rawRecurrenceId)
        return true;
    item.recurrenceId =
        IcsTime::instant(m_zones.zoneAt(*item.rawRecurrenceId), item.rawRecurrenceId->wall);
    if (!item.recurrenceId) {
        skip(item, "its RECURRENCE-ID cannot be read");
        return false;
    }
    item.rules.clear();  // an override is one occurrence
    item.rawRdates.clear();
    return true;
}

void IcsItemResolver::resolveRdates(Item& item, const IcsZone& zone)
{
    const bool isAllDay = item.traits.isAllDay;
    for (const Item::RawExtra& extra : item.rawRdates) {
        const auto s = IcsTime::instant(m_zones.zoneAt(extra.start), extra.start.wall);
        if (!s)
            continue;
        Date e = IcsTime::endOf(zone, IcsTime::wallAt(zone, *s, isAllDay), *s, item.span);
        if (extra.end) {
            if (auto explicitEnd = IcsTime::instant(m_zones.zoneAt(*extra.end), extra.end->wall))
                e = std::clamp(*explicitEnd, *s,
                               s->addingSeconds(IcsBounds::maxSpanDays * 86400.0));
        } else if (extra.duration) {
            const auto span = IcsTime::span(*extra.duration);
            if (!span)
                continue;
            e = IcsTime::endOf(zone, IcsTime::wallAt(zone, *s, isAllDay), *s, *span);
        }
        item.rdates.push_back({*s, e});
    }
}

void IcsItemResolver::resolveExdates(Item& item)
{
    for (const RawTime& ex : item.rawExdates) {
        if ((ex.wall.is_date != 0) != item.traits.isAllDay)
            item.exdateDays.push_back(IcsTime::dayNumber(ex.wall));
        else if (auto s = IcsTime::instant(m_zones.zoneAt(ex), ex.wall))
            item.exdates.push_back(s->seconds);
    }
    std::sort(item.exdates.begin(), item.exdates.end());
    std::sort(item.exdateDays.begin(), item.exdateDays.end());
}

}  // namespace nelvo
