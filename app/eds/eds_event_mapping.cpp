#include "app/eds/eds_event_mapping.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace nelvo {

namespace {

using Availability = CalendarEvent::Availability;
using Participation = CalendarEvent::Participation;

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// "mailto:Ana@Example.com " -> "ana@example.com".
std::string normalizedAddress(std::string_view address)
{
    address = trimmed(address);
    if (address.size() >= 7 && equalsIgnoringCase(address.substr(0, 7), "mailto:"))
        address.remove_prefix(7);
    address = trimmed(address);
    std::string out(address);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

icaltimezone* zoneOf(const icaltimetype& time, const icalproperty* property, const EdsInstance& instance)
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
                        return static_cast<icaltimezone*>(i_cal_object_get_native(I_CAL_OBJECT(zone)));
                }
                if (icaltimezone* builtin = icaltimezone_get_builtin_timezone(tzid))
                    return builtin;
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

Availability availability(std::string_view busyStatus, std::optional<icalproperty_transp> transp)
{
    if (equalsIgnoringCase(busyStatus, "BUSY"))
        return Availability::busy;
    if (equalsIgnoringCase(busyStatus, "TENTATIVE"))
        return Availability::tentative;
    if (equalsIgnoringCase(busyStatus, "OOF"))
        return Availability::unavailable;
    if (equalsIgnoringCase(busyStatus, "FREE"))
        return Availability::free;
    if (transp == ICAL_TRANSP_TRANSPARENT || transp == ICAL_TRANSP_TRANSPARENTNOCONFLICT)
        return Availability::free;
    return Availability::busy;
}

Participation participation(icalproperty* attendee, const std::vector<std::string>& addresses)
{
    const char* value = icalproperty_get_attendee(attendee);
    if (!value)
        return Participation::none;
    const std::string address = normalizedAddress(value);
    if (std::none_of(addresses.begin(), addresses.end(),
                     [&](const std::string& own) { return normalizedAddress(own) == address; }))
        return Participation::none;
    icalparameter* param = icalproperty_get_first_parameter(attendee, ICAL_PARTSTAT_PARAMETER);
    if (!param)
        return Participation::pending;
    switch (icalparameter_get_partstat(param)) {
    case ICAL_PARTSTAT_ACCEPTED:
        return Participation::accepted;
    case ICAL_PARTSTAT_DECLINED:
        return Participation::declined;
    case ICAL_PARTSTAT_TENTATIVE:
        return Participation::tentative;
    case ICAL_PARTSTAT_NEEDSACTION:
        return Participation::pending;
    default:
        return Participation::unknown;
    }
}

}  // namespace

std::optional<CalendarEvent> eventFromInstance(const EdsInstance& instance,
                                               const std::vector<std::string>& addresses)
{
    icalcomponent* component = instance.component;
    if (!component || !instance.start || !instance.end)
        return std::nullopt;
    CalendarEvent event;
    event.start = dateOf(*instance.start, nullptr, instance);
    event.end = dateOf(*instance.end, nullptr, instance);
    if (event.end < event.start)
        event.end = event.start;
    event.occurrenceStart = event.start;
    event.isAllDay = instance.start->is_date != 0;

    std::optional<icalproperty_transp> transp;
    std::string busyStatus;
    for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(component, ICAL_ANY_PROPERTY)) {
        switch (icalproperty_isa(p)) {
        case ICAL_UID_PROPERTY:
            if (const char* uid = icalproperty_get_uid(p); uid && *uid && event.eventID.empty())
                event.eventID = uid;
            break;
        case ICAL_SUMMARY_PROPERTY:
            if (const char* summary = icalproperty_get_summary(p); summary && event.title.empty())
                event.title = summary;
            break;
        case ICAL_RECURRENCEID_PROPERTY: {
            const icaltimetype id = icalproperty_get_recurrenceid(p);
            if (!icaltime_is_null_time(id) && icaltime_is_valid_time(id))
                event.occurrenceStart = dateOf(id, p, instance);
            break;
        }
        case ICAL_STATUS_PROPERTY:
            event.isCanceled = icalproperty_get_status(p) == ICAL_STATUS_CANCELLED;
            break;
        case ICAL_TRANSP_PROPERTY:
            transp = icalproperty_get_transp(p);
            break;
        case ICAL_X_PROPERTY:
            if (const char* name = icalproperty_get_x_name(p);
                name && equalsIgnoringCase(name, "X-MICROSOFT-CDO-BUSYSTATUS")) {
                if (const char* value = icalproperty_get_x(p))
                    busyStatus = std::string(trimmed(value));
            }
            break;
        case ICAL_ATTENDEE_PROPERTY:
            if (event.participation == Participation::none)
                event.participation = participation(p, addresses);
            break;
        default:
            break;
        }
    }
    event.availability = availability(busyStatus, transp);
    if (event.eventID.empty())
        return std::nullopt;  // EDS gives every stored event a UID
    return event;
}

}  // namespace nelvo
