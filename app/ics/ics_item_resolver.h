#pragma once

#include "app/ics/ics_internal.h"

#include <string>

namespace nelvo {

class IcsZoneResolver;

// Turns the times of an Item as written into instants, once every VTIMEZONE of the text is
// known: start and span, the occurrence an override replaces, extra dates and exclusions.
class IcsItemResolver {
public:
    IcsItemResolver(IcsDocument::Data& data, IcsZoneResolver& zones);

    // False, with a skipped-event problem reported, when the event cannot be used.
    bool resolve(Item& item);

private:
    bool resolveSpan(Item& item, Date start);
    bool resolveRecurrenceId(Item& item);
    void resolveRdates(Item& item, const IcsZone& zone);
    void resolveExdates(Item& item);
    void skip(const Item& item, const std::string& why);

    IcsDocument::Data& m_data;
    IcsZoneResolver& m_zones;
};

}  // namespace nelvo
