#pragma once

#include "kit/core/date.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace nelvo {

// An IANA time zone. No ICU include here: time_zone.cpp owns it, and code that needs the
// ICU zone itself includes kit/core/icu_zone.h.
class TimeZone {
public:
    struct Zone;  // wraps an immutable icu::BasicTimeZone

    // The zone of an IANA identifier. Aliases resolve to the zone's IANA name
    // ("US/Pacific" and "America/Los_Angeles" give the same zone with the id
    // "America/Los_Angeles"). Empty for identifiers the zone database does not know.
    static std::optional<TimeZone> named(std::string_view ianaId);
    // The machine's zone, as ICU finds it (the TZ variable, else /etc/localtime); looked up
    // anew on every call so that a change of the system zone is seen. UTC when unknown.
    static TimeZone system();
    static TimeZone utc();
    // The zone a Windows zone name stands for ("W. Europe Standard Time" is Europe/Berlin),
    // by the territory-neutral mapping of the zone data. Empty for names it does not know.
    static std::optional<TimeZone> fromWindowsName(std::string_view windowsName);

    const std::string& id() const { return m_id; }

    // Offset from UTC at the instant, daylight-saving time included. Both are cheap for
    // instants near the last one asked about in the same zone (see `OffsetSpan`).
    int offsetSeconds(Date date) const;
    bool isDaylightSavingTime(Date date) const;

    const Zone& zone() const { return *m_zone; }

    // Two zones are equal when their (resolved) identifiers are.
    bool operator==(const TimeZone& other) const { return m_id == other.m_id; }

private:
    TimeZone(std::string id, std::shared_ptr<const Zone> zone);

    std::string m_id;
    std::shared_ptr<const Zone> m_zone;  // immutable, so copies share it
};

}  // namespace nelvo

template <>
struct std::hash<nelvo::TimeZone> {
    std::size_t operator()(const nelvo::TimeZone& z) const noexcept
    {
        return std::hash<std::string>{}(z.id());
    }
};
