#include "app/ics/ics_zone_resolver.h"

#include "app/ics/ics_rule_check.h"
#include "app/ics/ics_text.h"

#include <cstdlib>

namespace nelvo {

IcsZoneResolver::IcsZoneResolver(IcsDocument::Data& data, const TimeZone& primary)
    : m_data(data), m_primary(primary)
{
}

void IcsZoneResolver::define(const std::string& tzid, std::string vtimezone)
{
    if (!tzid.empty())
        m_timezones.try_emplace(tzid, std::move(vtimezone));
}

int IcsZoneResolver::zoneFor(const RawTime& t)
{
    switch (t.kind) {
    case RawTime::Kind::floating:
        return primaryZone;
    case RawTime::Kind::utc:
        return utcZone;
    case RawTime::Kind::named:
        break;
    }
    if (t.tzid < 0 || t.tzid >= static_cast<int>(m_tzids.size()))
        return primaryZone;
    if (m_resolved.size() < m_tzids.size())
        m_resolved.resize(m_tzids.size(), -1);
    int& slot = m_resolved[static_cast<std::size_t>(t.tzid)];
    if (slot < 0)
        slot = resolve(m_tzids[static_cast<std::size_t>(t.tzid)]);
    return slot;
}

const IcsZone& IcsZoneResolver::zoneAt(const RawTime& t)
{
    return m_data.zones[static_cast<std::size_t>(zoneFor(t))];
}

int IcsZoneResolver::resolve(const std::string& tzid)
{
    if (auto it = m_timezones.find(tzid); it != m_timezones.end()) {
        if (auto zone = zoneFromVtimezone(it->second)) {
            m_data.zones.push_back(IcsZone::ofIcal(zone.get()));
            m_data.ownedZones.push_back(std::move(zone));
            return static_cast<int>(m_data.zones.size()) - 1;
        }
    }
    const std::optional<TimeZone> named = IcsEventMapping::zoneNamed(tzid);
    if (!named) {
        m_data.problems.add({.kind = SourceProblem::Kind::unknownZone,
                             .path = m_data.origin,
                             .message = "unknown time zone " + IcsText::quotedForMessage(tzid) +
                                        " in " + IcsText::inQuotes(m_data.origin) +
                                        ": its times are read in " + m_primary.id()});
        return primaryZone;
    }
    if (named->id() == "Etc/UTC" || named->id() == "UTC")
        return utcZone;
    m_data.zones.push_back(IcsZone::ofCalendar(*named));
    return static_cast<int>(m_data.zones.size()) - 1;
}

IcalZonePtr IcsZoneResolver::zoneFromVtimezone(const std::string& text)
{
    ComponentPtr component = parseComponent(text);
    if (!component || icalcomponent_isa(component.get()) != ICAL_VTIMEZONE_COMPONENT)
        return nullptr;
    std::vector<icalcomponent*> observances;
    for (icalcomponent* c = icalcomponent_get_first_component(component.get(), ICAL_ANY_COMPONENT);
         c; c = icalcomponent_get_next_component(component.get(), ICAL_ANY_COMPONENT))
        observances.push_back(c);
    if (observances.empty() || observances.size() > IcsBounds::maxObservances)
        return nullptr;
    for (icalcomponent* o : observances)
        if (!isUsableObservance(o))
            return nullptr;
    for (icalcomponent* o : observances)
        startLater(o);
    IcalZonePtr zone(icaltimezone_new());
    if (!zone)
        return nullptr;
    if (!icaltimezone_set_component(zone.get(), component.get()))
        return nullptr;
    component.release();  // the zone owns it now
    return zone;
}

void IcsZoneResolver::startLater(icalcomponent* o)
{
    icalproperty* start = icalcomponent_get_first_property(o, ICAL_DTSTART_PROPERTY);
    icalproperty* repeat = icalcomponent_get_first_property(o, ICAL_RRULE_PROPERTY);
    if (!start || !repeat || icalcomponent_get_next_property(o, ICAL_RRULE_PROPERTY))
        return;
    const icaltimetype onset = icalproperty_get_dtstart(start);
    const icalrecurrencetype rule = icalproperty_get_rrule(repeat);
    // A counted rule's onsets depend on the first; one that ends early has none later.
    if (onset.year >= earliestOnsetYear || rule.count != 0 ||
        (!icaltime_is_null_time(rule.until) && rule.until.year < earliestOnsetYear))
        return;
    icalrecur_iterator* onsets = icalrecur_iterator_new(rule, onset);
    if (!onsets)
        return;
    icaltimetype from = onset;
    from.year = earliestOnsetYear;
    from.month = 1;
    from.day = 1;
    if (icalrecur_iterator_set_start(onsets, from)) {
        const icaltimetype first = icalrecur_iterator_next(onsets);
        if (IcsTime::isUsable(first) && first.year == earliestOnsetYear)
            icalproperty_set_dtstart(start, first);
    }
    icalrecur_iterator_free(onsets);
}

bool IcsZoneResolver::isUsableObservance(icalcomponent* o)
{
    const icalcomponent_kind kind = icalcomponent_isa(o);
    if (kind != ICAL_XSTANDARD_COMPONENT && kind != ICAL_XDAYLIGHT_COMPONENT)
        return false;
    std::vector<icalproperty*> properties;
    for (icalproperty* p = icalcomponent_get_first_property(o, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(o, ICAL_ANY_PROPERTY))
        properties.push_back(p);
    bool hasStart = false, hasFrom = false, hasTo = false;
    for (icalproperty* p : properties) {
        switch (icalproperty_isa(p)) {
        case ICAL_DTSTART_PROPERTY:
            hasStart = IcsTime::isUsable(icalproperty_get_dtstart(p));
            break;
        case ICAL_TZOFFSETFROM_PROPERTY:
            hasFrom = std::abs(icalproperty_get_tzoffsetfrom(p)) < 86400;
            break;
        case ICAL_TZOFFSETTO_PROPERTY:
            hasTo = std::abs(icalproperty_get_tzoffsetto(p)) < 86400;
            break;
        case ICAL_RRULE_PROPERTY: {
            // Zone rules change yearly; anything faster, or a rule that never matches (which
            // libical would search for year after year), is not a zone.
            const icalrecurrencetype rule = icalproperty_get_rrule(p);
            if (rule.freq != ICAL_YEARLY_RECURRENCE || !IcsRuleCheck::canMatch(rule))
                return false;
            break;
        }
        case ICAL_RDATE_PROPERTY:
            if (!IcsTime::isUsable(icalproperty_get_rdate(p).time))
                return false;
            break;
        default:
            break;
        }
    }
    return hasStart && hasFrom && hasTo;
}

}  // namespace nelvo
