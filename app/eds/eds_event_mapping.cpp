#include "app/eds/eds_event_mapping.h"

#include "app/ics/ics_event_mapping.h"

#include <algorithm>
#include <cmath>

namespace nelvo {

namespace {

icaltimezone* zoneOf(const icaltimetype& time, const icalproperty* property,
                     const EdsInstance& instance)
{
    if (time.is_date)
        return instance.primaryZone;
    if (icaltime_is_utc(time))
        return icaltimezone_get_utc_timezone();
    if (time.zone)
        return const_cast<icaltimezone*>(time.zone);
    if (property) {
        auto* p = const_cast<icalproperty*>(property);
        if (icalparameter* param = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER)) {
            if (const char* tzid = icalparameter_get_tzid(param); tzid && *tzid) {
                if (instance.zones) {
                    if (ICalTimezone* zone = e_timezone_cache_get_timezone(instance.zones, tzid))
                        return static_cast<icaltimezone*>(
                            i_cal_object_get_native(I_CAL_OBJECT(zone)));
                }
                if (icaltimezone* builtin = icaltimezone_get_builtin_timezone(tzid))
                    return builtin;
                if (auto named = IcsEventMapping::zoneNamed(tzid))
                    if (icaltimezone* zone = icaltimezone_get_builtin_timezone(named->id().c_str()))
                        return zone;
            }
        }
    }
    return instance.primaryZone;
}

Date dateOf(const icaltimetype& time, const icalproperty* property, const EdsInstance& instance)
{
    return Date::fromUnixSeconds(
        static_cast<double>(icaltime_as_timet_with_zone(time, zoneOf(time, property, instance))));
}

}  // namespace

namespace {

bool teachZone(ETimezoneCache* zones, const char* tzid)
{
    if (!tzid || !*tzid || e_timezone_cache_get_timezone(zones, tzid) ||
        icaltimezone_get_builtin_timezone(tzid))
        return false;
    const auto named = IcsEventMapping::zoneNamed(tzid);
    icaltimezone* builtin =
        named ? icaltimezone_get_builtin_timezone(named->id().c_str()) : nullptr;
    if (!builtin)
        return false;
    // The zone's own definition under the name the event gives it.
    icalcomponent* definition = icalcomponent_new_clone(icaltimezone_get_component(builtin));
    icalproperty_set_tzid(icalcomponent_get_first_property(definition, ICAL_TZID_PROPERTY), tzid);
    icaltimezone* zone = icaltimezone_new();
    icaltimezone_set_component(zone, definition);
    auto* object = static_cast<ICalTimezone*>(i_cal_object_construct(
        I_CAL_TYPE_TIMEZONE, zone,
        [](gpointer native) { icaltimezone_free(static_cast<icaltimezone*>(native), 1); }, FALSE,
        nullptr));
    e_timezone_cache_add_timezone(zones, object);  // keeps a copy
    g_object_unref(object);
    return true;
}

}  // namespace

bool teachZones(ETimezoneCache* zones, icalcomponent* component)
{
    bool taught = false;
    for (const icalproperty_kind kind : {ICAL_DTSTART_PROPERTY, ICAL_DTEND_PROPERTY}) {
        icalproperty* p = icalcomponent_get_first_property(component, kind);
        icalparameter* tzid =
            p ? icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER) : nullptr;
        if (tzid && zones && teachZone(zones, icalparameter_get_tzid(tzid)))
            taught = true;
    }
    return taught;
}

std::optional<CalendarEvent> eventFromInstance(const EdsInstance& instance,
                                               const std::vector<std::string>& addresses,
                                               const std::string& calendarID,
                                               const std::string& colorHex)
{
    icalcomponent* component = instance.component;
    if (!component || !instance.start || !instance.end)
        return std::nullopt;
    IcsEventMapping::Traits traits = IcsEventMapping::traits(component, addresses);
    if (traits.uid.empty())
        return std::nullopt;  // EDS gives every stored event a UID
    // EDS knows the occurrence's dates; the day an all-day event covers is the user's.
    traits.isAllDay = instance.start->is_date != 0;
    const Date start = dateOf(*instance.start, nullptr, instance);
    const Date end = std::max(start, dateOf(*instance.end, nullptr, instance));
    // A moved occurrence keeps the identity of the one it replaces.
    Date occurrenceStart = start;
    if (icalproperty* p = icalcomponent_get_first_property(component, ICAL_RECURRENCEID_PROPERTY)) {
        const icaltimetype id = icalproperty_get_recurrenceid(p);
        if (!icaltime_is_null_time(id) && icaltime_is_valid_time(id))
            occurrenceStart = dateOf(id, p, instance);
    }
    return IcsEventMapping::event(traits, traits.uid, occurrenceStart, start, end, calendarID,
                                  colorHex);
}

namespace {

bool isLaterChange(icalproperty* recurrenceID)
{
    icalparameter* range = icalproperty_get_first_parameter(recurrenceID, ICAL_RANGE_PARAMETER);
    return range && icalparameter_get_range(range) == ICAL_RANGE_THISANDFUTURE;
}

bool has(icalcomponent* component, icalproperty_kind kind)
{
    return icalcomponent_get_first_property(component, kind) != nullptr;
}

}  // namespace

Date instantOf(const icaltimetype& time, const EdsInstance& instance)
{
    return dateOf(time, nullptr, instance);
}

std::optional<Date> propertyDate(const EdsInstance& instance, icalproperty_kind kind)
{
    icalproperty* p = icalcomponent_get_first_property(instance.component, kind);
    if (!p)
        return std::nullopt;
    const icaltimetype time = icalvalue_get_datetime(icalproperty_get_value(p));
    if (icaltime_is_null_time(time) || !icaltime_is_valid_time(time))
        return std::nullopt;
    return dateOf(time, p, instance);
}

bool isCopiedChange(const EdsInstance& instance)
{
    icalcomponent* c = instance.component;
    icalproperty* id = icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY);
    if (!id || !instance.start || isLaterChange(id) || has(c, ICAL_RRULE_PROPERTY) ||
        has(c, ICAL_RDATE_PROPERTY))
        return false;
    const auto start = propertyDate(instance, ICAL_DTSTART_PROPERTY);
    return start && *start != dateOf(*instance.start, nullptr, instance);
}

bool needsSeries(icalcomponent* change)
{
    icalproperty* id = icalcomponent_get_first_property(change, ICAL_RECURRENCEID_PROPERTY);
    return id && (isLaterChange(id) || !has(change, ICAL_SUMMARY_PROPERTY) ||
                  (!has(change, ICAL_DTEND_PROPERTY) && !has(change, ICAL_DURATION_PROPERTY)));
}

void completeFromMaster(icalcomponent* change, icalcomponent* master)
{
    if (!has(change, ICAL_SUMMARY_PROPERTY)) {
        if (icalproperty* title = icalcomponent_get_first_property(master, ICAL_SUMMARY_PROPERTY))
            icalcomponent_add_property(change, icalproperty_new_clone(title));
    }
    if (!has(change, ICAL_DTEND_PROPERTY) && !has(change, ICAL_DURATION_PROPERTY)) {
        const icaldurationtype length = icalcomponent_get_duration(master);
        if (!icaldurationtype_is_bad_duration(length) && !icaldurationtype_is_null_duration(length))
            icalcomponent_add_property(change, icalproperty_new_duration(length));
    }
}

std::optional<CalendarEvent> changedOccurrence(const EdsInstance& change, Date occurrence,
                                               const std::vector<std::string>& addresses,
                                               const std::string& calendarID,
                                               const std::string& colorHex)
{
    const auto start = propertyDate(change, ICAL_DTSTART_PROPERTY);
    const auto replaced = propertyDate(change, ICAL_RECURRENCEID_PROPERTY);
    if (!start || !replaced)
        return std::nullopt;
    double length = 0;
    if (const auto end = propertyDate(change, ICAL_DTEND_PROPERTY))
        length = std::max(0.0, *end - *start);
    else if (icalproperty* p =
                 icalcomponent_get_first_property(change.component, ICAL_DURATION_PROPERTY))
        length = std::max(0, icaldurationtype_as_int(icalproperty_get_duration(p)));
    const Date moved = occurrence.addingSeconds(*start - *replaced);
    icaltimetype from;
    icaltimetype to;
    if (icalcomponent_get_dtstart(change.component).is_date) {
        // Dates stay dates, in whole days: a day across a change of clocks is not 24 hours.
        constexpr double day = 86400;
        from = icaltime_from_timet_with_zone(static_cast<time_t>(moved.unixSeconds() + day / 2), 1,
                                             change.primaryZone);
        to = from;
        icaltime_adjust(&to, static_cast<int>(std::lround(length / day)), 0, 0, 0);
    } else {
        icaltimezone* utc = icaltimezone_get_utc_timezone();
        from = icaltime_from_timet_with_zone(static_cast<time_t>(moved.unixSeconds()), 0, utc);
        to = icaltime_from_timet_with_zone(static_cast<time_t>(moved.unixSeconds() + length), 0,
                                           utc);
    }
    EdsInstance at = change;
    at.start = &from;
    at.end = &to;
    auto event = eventFromInstance(at, addresses, calendarID, colorHex);
    if (event)
        event->occurrenceStart = occurrence;
    return event;
}

}  // namespace nelvo
