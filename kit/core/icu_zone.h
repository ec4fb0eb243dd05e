#pragma once

// For the few .cpp files that need ICU's own zone (names, formatters). Not for headers.

#include "kit/core/time_zone.h"

#include <unicode/basictz.h>
#include <unicode/unistr.h>

#include <memory>
#include <string>

namespace nelvo {

// Points ICU at the zone rules built from the machine's tzdata, once, before the first ICU
// zone exists; ICU's built-in rules stay when that folder is missing. TimeZone calls it;
// code that reaches ICU's zone data some other way calls it first.
void ensureZoneRules();

struct TimeZone::Zone {
    std::unique_ptr<icu::BasicTimeZone> icu;
};

// The offset that holds around an instant, between the transitions before and after it
// (infinite when there is none). ICU works an offset out from the zone's rules on every
// call, which would be most of the cost of the engine and the renderers; the span around the
// last lookup is kept per zone and thread, so nearby instants need no ICU call.
struct OffsetSpan {
    double fromMillis;  // inclusive
    double toMillis;    // exclusive
    int seconds;        // daylight-saving time included
    bool isDaylight;
};
// For a non-finite instant, ICU's answer with an empty span.
OffsetSpan offsetSpan(const TimeZone& zone, Date date);

inline const icu::BasicTimeZone& icuZone(const TimeZone& zone)
{
    return *zone.zone().icu;
}

inline std::string toUtf8(const icu::UnicodeString& text)
{
    std::string out;
    text.toUTF8String(out);
    return out;
}

inline icu::UnicodeString fromUtf8(std::string_view text)
{
    return icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
}

}  // namespace nelvo
