#pragma once

#include "kit/core/slot.h"
#include "kit/render/render_options.h"

#include "support/time_helpers.h"

#include <vector>

namespace nelvo::test {

// A slot between two ISO-8601 instants.
inline Slot slot(const char* start, const char* end)
{
    return Slot{.start = at(start), .end = at(end)};
}

// Two days in Los Angeles in winter; the last slot crosses midnight.
inline std::vector<Slot> typicalSlots()
{
    return {slot("2025-03-03T09:00:00-08:00", "2025-03-03T10:30:00-08:00"),
            slot("2025-03-03T13:00:00-08:00", "2025-03-03T17:00:00-08:00"),
            slot("2025-03-04T22:00:00-08:00", "2025-03-05T01:00:00-08:00")};
}

inline RenderOptions typicalOptions()
{
    RenderOptions options;
    options.zones = {RenderZone{.zone = zone("America/Los_Angeles"), .label = "Pacific"}};
    options.primary = zone("America/Los_Angeles");
    options.heading = "My availability";
    return options;
}

// Monday in Los Angeles; the second slot ends after midnight in London.
inline std::vector<Slot> twoZoneSlots()
{
    return {slot("2025-03-03T09:00:00-08:00", "2025-03-03T10:30:00-08:00"),
            slot("2025-03-03T15:00:00-08:00", "2025-03-03T17:00:00-08:00")};
}

// Pacific and London, titled with the week Mar 3 – 7.
inline RenderOptions twoZoneOptions()
{
    RenderOptions options = typicalOptions();
    options.zones.push_back(RenderZone{.zone = zone("Europe/London"), .label = "London"});
    options.dateRange = std::pair{at("2025-03-03T00:00:00-08:00"), at("2025-03-07T12:00:00-08:00")};
    return options;
}

}  // namespace nelvo::test
