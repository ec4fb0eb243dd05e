#pragma once

#include "kit/core/date.h"
#include "kit/core/time_zone.h"

#include <optional>
#include <string>
#include <string_view>

namespace nelvo {

// The short caption of a zone on rulers, in the zone list and in tables.
namespace ZoneDisplayName {

// `customLabel` unchanged when it holds more than spaces and tabs. Otherwise a fixed name
// ("Pacific Time", "UTC"), "GMT+5" for the Etc/GMT zones ("UTC" within an hour of it), else
// the last part of the identifier with spaces for underscores ("Buenos Aires").
std::string name(const TimeZone& zone, std::optional<std::string_view> customLabel = std::nullopt);

// The offset from GMT at `now`: "UTC+5:30", "UTC-8:00", "UTC+0:00". Empty when the
// identifier does not name a zone.
std::string offsetText(std::string_view identifier, Date now);
std::string offsetText(const TimeZone& zone, Date now);

}  // namespace ZoneDisplayName

}  // namespace nelvo
