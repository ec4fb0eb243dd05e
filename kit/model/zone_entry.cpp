#include "kit/model/zone_entry.h"

#include "kit/core/zone_display_name.h"

namespace nelvo {

std::optional<TimeZone> ZoneEntry::zone() const
{
    return TimeZone::named(id);
}

std::string ZoneEntry::displayName() const
{
    if (const auto resolved = zone())
        return ZoneDisplayName::name(*resolved, label);
    return label.value_or(id);
}

}  // namespace nelvo
