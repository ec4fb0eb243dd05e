#include "app/ics/ics_event_mapping.h"

#include "app/ics/ics_internal.h"
#include "app/ics/ics_text.h"

#include <algorithm>

namespace nelvo::IcsEventMapping {

using Availability = CalendarEvent::Availability;
using Participation = CalendarEvent::Participation;

Traits traits(icalcomponent* event, const std::vector<std::string>& addresses)
{
    // Collected first: libical has one property iterator per component, and a lookup while
    // walking would restart the walk.
    std::vector<icalproperty*> properties;
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_ANY_PROPERTY))
        properties.push_back(p);

    Traits out;
    std::string busyStatus;
    bool isTransparent = false;
    bool sawStart = false;
    for (icalproperty* p : properties) {
        switch (icalproperty_isa(p)) {
        case ICAL_UID_PROPERTY:
            if (const char* uid = icalproperty_get_uid(p); uid && *uid && out.uid.empty())
                out.uid = uid;
            break;
        case ICAL_SUMMARY_PROPERTY:
            if (const char* summary = icalproperty_get_summary(p); summary && out.title.empty())
                out.title = IcsText::truncatedUtf8(summary, IcsBounds::maxTitleBytes);
            break;
        case ICAL_DTSTART_PROPERTY:
            if (!sawStart)
                out.isAllDay = icalproperty_get_dtstart(p).is_date != 0;
            sawStart = true;
            break;
        case ICAL_STATUS_PROPERTY:
            out.isCanceled = icalproperty_get_status(p) == ICAL_STATUS_CANCELLED;
            break;
        case ICAL_TRANSP_PROPERTY: {
            const icalproperty_transp transp = icalproperty_get_transp(p);
            isTransparent =
                transp == ICAL_TRANSP_TRANSPARENT || transp == ICAL_TRANSP_TRANSPARENTNOCONFLICT;
            break;
        }
        case ICAL_X_PROPERTY:
            if (const char* name = icalproperty_get_x_name(p);
                name && IcsText::equalsIgnoringCase(name, "X-MICROSOFT-CDO-BUSYSTATUS")) {
                if (const char* value = icalproperty_get_x(p))
                    busyStatus = std::string(IcsText::trimmed(value));
            }
            break;
        case ICAL_ATTENDEE_PROPERTY:
            out.isInvitation = true;
            if (out.participation == Participation::none)
                out.participation = participation(p, addresses);
            break;
        default:
            break;
        }
    }
    out.availability = availability(busyStatus, isTransparent);
    return out;
}

Participation participation(icalproperty* attendee, const std::vector<std::string>& addresses)
{
    const char* value = icalproperty_get_attendee(attendee);
    if (!value)
        return Participation::none;
    const std::string address = normalizedAddress(value);
    if (std::find(addresses.begin(), addresses.end(), address) == addresses.end())
        return Participation::none;
    icalparameter* param = icalproperty_get_first_parameter(attendee, ICAL_PARTSTAT_PARAMETER);
    if (!param)
        return Participation::pending;  // NEEDS-ACTION is the default
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

Availability availability(std::string_view busyStatus, bool isTransparent)
{
    using IcsText::equalsIgnoringCase;
    if (equalsIgnoringCase(busyStatus, "BUSY"))
        return Availability::busy;
    if (equalsIgnoringCase(busyStatus, "TENTATIVE"))
        return Availability::tentative;
    if (equalsIgnoringCase(busyStatus, "OOF"))
        return Availability::unavailable;
    if (equalsIgnoringCase(busyStatus, "FREE"))
        return Availability::free;
    return isTransparent ? Availability::free : Availability::busy;
}

std::string normalizedAddress(std::string_view address)
{
    return IcsText::normalizedAddress(address);
}

std::optional<TimeZone> zoneNamed(std::string_view tzid)
{
    std::optional<TimeZone> named = TimeZone::named(tzid);
    if (!named)
        named = TimeZone::fromWindowsName(tzid);
    if (!named && tzid.size() > 1 && tzid.front() == '/') {
        for (std::size_t slash = tzid.find('/', 1); slash != std::string_view::npos && !named;
             slash = tzid.find('/', slash + 1))
            named = TimeZone::named(tzid.substr(slash + 1));
    }
    return named;
}

CalendarEvent event(const Traits& traits, const std::string& eventID, Date occurrenceStart,
                    Date start, Date end, const std::string& calendarID,
                    const std::string& colorHex)
{
    return CalendarEvent{.eventID = eventID,
                         .occurrenceStart = occurrenceStart,
                         .start = start,
                         .end = end,
                         .title = traits.title,
                         .calendarID = calendarID,
                         .calendarColorHex = colorHex,
                         .isAllDay = traits.isAllDay,
                         .availability = traits.availability,
                         .participation = traits.participation,
                         .isCanceled = traits.isCanceled,
                         .isInvitation = traits.isInvitation};
}

}  // namespace nelvo::IcsEventMapping
