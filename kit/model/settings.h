#pragma once

#include "kit/core/calendar_info.h"
#include "kit/core/daily_window.h"
#include "kit/core/decoded.h"
#include "kit/core/time_zone.h"
#include "kit/model/render_zone.h"
#include "kit/model/zone_entry.h"

#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace nelvo {

// The user's persistent configuration. Fields are stored as they are; the operations that
// change them apply the bounds (the model keeps dayCount within 1...14), so a value read
// from a file may lie anywhere in its type's range.
struct Settings {
    std::optional<std::set<std::string>> excludedCalendars;  // empty: the default choice
    std::vector<ZoneEntry> zones;                            // rulers, in display order
    std::optional<std::string> primaryZoneID;                // empty: follow the system
    bool use24Hour = false;
    DailyWindow window{.startMinutes = 540, .endMinutes = 1020};
    std::int64_t minimumMinutes = 30;
    std::int64_t leadTimeMinutes = 60;  // 1440: from the next day on
    std::string heading = "Availability";
    std::int64_t dayCount = 1;
    bool soundsEnabled = true;

    // The defaults, with one unlabelled ruler for `currentZone`.
    static Settings initial(const TimeZone& currentZone);

    // Equal texts, or two identifiers naming the same zone ("US/Pacific",
    // "America/Los_Angeles"). An identifier that names no zone matches only itself.
    static bool zonesMatch(std::string_view a, std::string_view b);

    // The zone of `primaryZoneID` when it names one; `currentZone` otherwise.
    TimeZone primaryZone(const TimeZone& currentZone) const;
    // One entry per resolvable ruler, duplicates of a zone left out; the primary zone is
    // always there, first when it has no ruler of its own.
    std::vector<RenderZone> renderZones(const TimeZone& currentZone) const;
    // The calendars whose events may count as busy: every listed one minus
    // `excludedCalendars`; by default, every one but birthdays and subscriptions.
    std::set<std::string> includedCalendars(std::span<const CalendarInfo> calendars) const;

    // Puts an unlabelled ruler for the primary zone first when none matches it.
    void ensurePrimaryRuler(const TimeZone& currentZone);
    // Appends an unlabelled ruler unless one matches `id`.
    void addZone(std::string_view id);
    // Removes every ruler matching `id`, unless `id` matches the primary zone.
    void removeZone(std::string_view id, const TimeZone& currentZone);
    // Moves the first ruler matching `id` to `index`, clamped to the list.
    void moveZone(std::string_view id, std::int64_t index);
    // Relabels the first ruler matching `id`; spaces and tabs around the label go, and an
    // empty label means none.
    void renameZone(std::string_view id, std::optional<std::string_view> label);
    // Switches one calendar on or off. The first explicit choice keeps the default choice
    // for every other listed calendar.
    void setCalendar(std::string_view id, bool included, std::span<const CalendarInfo> calendars);

    bool operator==(const Settings&) const = default;

    // The stored form: compact JSON in field order; absent optionals and labels are left out.
    std::string toJson() const;
    // Missing or null members take their defaults ("zones" an empty list); unknown ones
    // are ignored; a wrong type anywhere fails the whole record. Rulers of the earlier form
    // that were switched off are dropped, duplicate rulers after the first too.
    static Decoded<Settings> fromJson(std::string_view json);
    // As `fromJson`, and whether the text was in the earlier form (rulers with "isEnabled"),
    // which a store rewrites at once.
    struct Decoding;
    static Decoding decode(std::string_view json);
};

struct Settings::Decoding {
    Decoded<Settings> settings;
    bool isEarlierForm = false;
};

}  // namespace nelvo
