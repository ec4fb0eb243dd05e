#include "app/ics/ics_event_reader.h"

#include "app/ics/ics_text.h"

namespace nelvo {

IcsEventReader::IcsEventReader(std::vector<std::string>& tzids,
                               std::unordered_map<std::string, int>& tzidIndex,
                               const std::vector<std::string>& addresses)
    : m_tzids(tzids), m_tzidIndex(tzidIndex), m_addresses(addresses)
{
}

std::optional<Item> IcsEventReader::read(icalcomponent* event, bool hadStart, std::string& problem)
{
    m_hasStart = false;
    m_sawBadStart = false;
    Item item;
    item.traits = IcsEventMapping::traits(event, m_addresses);
    item.hasUid = !item.traits.uid.empty();
    item.eventID = item.traits.uid;

    // Collected first: libical has one property iterator per component.
    std::vector<icalproperty*> properties;
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_ANY_PROPERTY))
        properties.push_back(p);
    for (icalproperty* p : properties)
        readProperty(p, item);

    if (!m_hasStart) {
        problem =
            m_sawBadStart || hadStart ? "its start time cannot be read" : "it has no start time";
        return std::nullopt;
    }
    item.traits.isAllDay = item.rawStart.wall.is_date != 0;
    return item;
}

void IcsEventReader::readProperty(icalproperty* p, Item& item)
{
    switch (icalproperty_isa(p)) {
    case ICAL_DTSTART_PROPERTY:
        if (!m_hasStart) {
            if (auto t = time(p, icalproperty_get_dtstart(p))) {
                item.rawStart = *t;
                m_hasStart = true;
            } else {
                m_sawBadStart = true;
            }
        }
        break;
    case ICAL_DTEND_PROPERTY:
        if (!item.rawEnd)
            item.rawEnd = time(p, icalproperty_get_dtend(p));
        break;
    case ICAL_DURATION_PROPERTY:
        if (!item.rawDuration) {
            const icaldurationtype d = icalproperty_get_duration(p);
            if (!icaldurationtype_is_bad_duration(d))
                item.rawDuration = d;
        }
        break;
    case ICAL_RRULE_PROPERTY:
        readRule(p, item);
        break;
    case ICAL_RDATE_PROPERTY:
        readRdate(p, item);
        break;
    case ICAL_EXDATE_PROPERTY:
        if (auto t = time(p, icalproperty_get_exdate(p)))
            item.rawExdates.push_back(*t);
        break;
    case ICAL_RECURRENCEID_PROPERTY:
        readRecurrenceId(p, item);
        break;
    default:
        break;
    }
}

void IcsEventReader::readRule(icalproperty* p, Item& item)
{
    icalrecurrencetype rule = icalproperty_get_rrule(p);
    if (rule.freq == ICAL_NO_RECURRENCE)
        return;
    if (char* text = icalrecurrencetype_as_string_r(&rule)) {
        item.rules.emplace_back(text);
        icalmemory_free_buffer(text);
    }
}

void IcsEventReader::readRdate(icalproperty* p, Item& item)
{
    const icaldatetimeperiodtype value = icalproperty_get_rdate(p);
    Item::RawExtra extra;
    if (!icaltime_is_null_time(value.time)) {
        auto t = time(p, value.time);
        if (!t)
            return;
        extra.start = *t;
    } else {
        auto t = time(p, value.period.start);
        // A period is bounded by times; one bounded by dates is malformed (warned by name).
        if (!t || value.period.start.is_date)
            return;
        extra.start = *t;
        if (!icaltime_is_null_time(value.period.end)) {
            extra.end = time(p, value.period.end);
            if (!extra.end || value.period.end.is_date)
                return;
        } else if (!icaldurationtype_is_bad_duration(value.period.duration)) {
            extra.duration = value.period.duration;
        }
    }
    item.rawRdates.push_back(extra);
}

void IcsEventReader::readRecurrenceId(icalproperty* p, Item& item)
{
    if (item.rawRecurrenceId)
        return;
    item.rawRecurrenceId = time(p, icalproperty_get_recurrenceid(p));
    if (icalparameter* range = icalproperty_get_first_parameter(p, ICAL_RANGE_PARAMETER))
        item.isThisAndFuture = icalparameter_get_range(range) == ICAL_RANGE_THISANDFUTURE;
}

std::optional<RawTime> IcsEventReader::time(icalproperty* p, const icaltimetype& t)
{
    if (!IcsTime::isUsable(t))
        return std::nullopt;
    RawTime raw;
    raw.wall = t;
    raw.wall.zone = nullptr;
    if (t.is_date)
        return raw;
    if (icaltime_is_utc(t)) {
        raw.kind = RawTime::Kind::utc;
        return raw;
    }
    if (icalparameter* param = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER)) {
        const char* tzid = icalparameter_get_tzid(param);
        const std::string_view id = tzid ? IcsText::trimmed(tzid) : std::string_view{};
        if (!id.empty()) {
            raw.kind = RawTime::Kind::named;
            raw.tzid = intern(id);
        }
    }
    return raw;
}

int IcsEventReader::intern(std::string_view tzid)
{
    std::string key(tzid);
    if (auto it = m_tzidIndex.find(key); it != m_tzidIndex.end())
        return it->second;
    const int index = static_cast<int>(m_tzids.size());
    m_tzids.push_back(key);
    m_tzidIndex.emplace(std::move(key), index);
    return index;
}

}  // namespace nelvo
