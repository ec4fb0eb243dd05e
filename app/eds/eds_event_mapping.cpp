#include "app/eds/eds_event_mapping.h"

#include "app/ics/ics_event_mapping.h"

#include <algorithm>

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

}  // namespace nelvo
