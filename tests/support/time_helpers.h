#pragma once

#include "kit/core/calendar.h"
#include "kit/core/date.h"
#include "kit/core/day_key.h"
#include "kit/core/time_zone.h"

#include <gtest/gtest.h>

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

inline std::string iso(Date d) { return d.iso8601(); }
inline std::string iso(const std::optional<Date>& d) { return d ? d->iso8601() : "none"; }

// Local midnight of a day key in a zone.
inline Date day(const char* key, const TimeZone& z)
{
    auto d = DayKey::date(key, z);
    if (!d)
        ADD_FAILURE() << "bad day " << key;
    return d.value_or(Date{});
}

}  // namespace nelvo::test
