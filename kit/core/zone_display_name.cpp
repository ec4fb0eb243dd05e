#include "kit/core/zone_display_name.h"

#include "kit/core/horizontal_space.h"
#include "kit/core/icu_zone.h"

#include <cstdio>
#include <cstdlib>

namespace nelvo::ZoneDisplayName {

namespace {

std::optional<std::string_view> fixedName(std::string_view id)
{
    static constexpr std::pair<std::string_view, std::string_view> names[] = {
        {"America/Los_Angeles", "Pacific Time"},
        {"America/Denver", "Mountain Time"},
        {"America/Chicago", "Central Time"},
        {"America/New_York", "Eastern Time"},
        {"UTC", "UTC"},
        {"GMT", "UTC"},
        {"Etc/UTC", "UTC"},
        {"Etc/GMT", "UTC"},
    };
    for (const auto& [zoneId, zoneName] : names)
        if (zoneId == id)
            return zoneName;
    return std::nullopt;
}

std::string lastPart(std::string_view id)
{
    std::string_view last;
    std::size_t start = 0;
    while (start <= id.size()) {
        const std::size_t slash = std::min(id.find('/', start), id.size());
        if (slash > start)
            last = id.substr(start, slash - start);
        start = slash + 1;
    }
    std::string result(last.empty() ? id : last);
    for (char& c : result)
        if (c == '_')
            c = ' ';
    return result;
}

}  // namespace

std::string name(const TimeZone& zone, std::optional<std::string_view> customLabel)
{
    if (customLabel && !HorizontalSpace::trimmed(*customLabel).empty())
        return std::string(*customLabel);
    const std::string& id = zone.id();
    if (auto fixed = fixedName(id))
        return std::string(*fixed);
    if (id.starts_with("Etc/GMT")) {
        // These zones never change their offset, so the raw offset is the current one.
        const int offset = icuZone(zone).getRawOffset() / 1000;
        if (offset >= -3599 && offset <= 3599)
            return "UTC";
        char text[16];
        std::snprintf(text, sizeof text, "GMT%+d", offset / 3600);
        return text;
    }
    return lastPart(id);
}

std::string offsetText(const TimeZone& zone, Date now)
{
    const int offset = zone.offsetSeconds(now);
    const int magnitude = std::abs(offset);
    char text[32];
    std::snprintf(text, sizeof text, "UTC%s%d:%02d", offset >= 0 ? "+" : "-", magnitude / 3600,
                  magnitude % 3600 / 60);
    return text;
}

std::string offsetText(std::string_view identifier, Date now)
{
    const auto zone = TimeZone::named(identifier);
    return zone ? offsetText(*zone, now) : std::string();
}

}  // namespace nelvo::ZoneDisplayName
