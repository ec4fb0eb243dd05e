#pragma once

#include "kit/core/calendar.h"
#include "kit/core/date.h"
#include "kit/core/day_key.h"
#include "kit/core/time_zone.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>

namespace nelvo::test {

inline TimeZone zone(const char* id)
{
    auto z = TimeZone::named(id);
    if (!z)
        ADD_FAILURE() << "unknown zone " << id;
    return z.value_or(TimeZone::utc());
}

// An instant from ISO-8601 text with Z or an offset.
inline Date at(const char* iso)
{
    auto d = Date::fromIso8601(iso);
    if (!d)
        ADD_FAILURE() << "bad instant " << iso;
    return d.value_or(Date{});
}

inline std::string iso(Date d)
{
    return d.iso8601();
}
inline std::string iso(const std::optional<Date>& d)
{
    return d ? d->iso8601() : "none";
}

// Local midnight of a day key in a zone.
inline Date day(const char* key, const TimeZone& z)
{
    auto d = DayKey::date(key, z);
    if (!d)
        ADD_FAILURE() << "bad day " << key;
    return d.value_or(Date{});
}

// "03-05 09:00-17:00" per slot in the zone, joined by spaces; an end on a later day is
// marked "(+1)".
template <typename Slots>
std::string slotText(const Slots& slots, const TimeZone& z)
{
    const Calendar calendar(z);
    std::string out;
    for (const auto& slot : slots) {
        const auto s = calendar.parts(slot.start);
        const auto e = calendar.parts(slot.end);
        const bool laterDay = calendar.startOfDay(slot.end) > calendar.startOfDay(slot.start);
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%s%02d-%02d %02d:%02d-%02d:%02d%s",
                      out.empty() ? "" : " ", s.month, s.day, s.hour, s.minute, e.hour, e.minute,
                      laterDay ? "(+1)" : "");
        out += buffer;
    }
    return out;
}

}  // namespace nelvo::test
