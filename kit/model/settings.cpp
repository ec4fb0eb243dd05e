#include "kit/model/settings.h"

#include "kit/core/horizontal_space.h"
#include "kit/core/json_forms.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <unordered_set>

namespace nelvo {

using nlohmann::json;

namespace {

using JsonForms::member;

// Reads an optional member of one JSON type into `field`; false for a wrong type.
template <typename T>
bool read(const json& object, const char* key, T& field)
{
    const json* value = member(object, key);
    if (!value)
        return true;
    if constexpr (std::is_same_v<T, bool>) {
        if (!value->is_boolean())
            return false;
        field = value->get<bool>();
    } else if constexpr (std::is_same_v<T, std::int64_t>) {
        const auto number = JsonForms::integer(*value);
        if (!number)
            return false;
        field = *number;
    } else {
        if (!value->is_string())
            return false;
        field = value->get<std::string>();
    }
    return true;
}

// A ruler as stored; only the earlier form has `isEnabled`.
struct StoredRuler {
    ZoneEntry entry;
    std::optional<bool> isEnabled;
};

Decoded<StoredRuler> decodeZone(const json& value)
{
    if (!value.is_object())
        return Decoded<StoredRuler>::failure("zones: expected zone objects");
    StoredRuler ruler;
    const json* id = member(value, "id");
    if (!id || !id->is_string())
        return Decoded<StoredRuler>::failure("zones.id: expected a string");
    ruler.entry.id = id->get<std::string>();
    if (const json* label = member(value, "label")) {
        if (!label->is_string())
            return Decoded<StoredRuler>::failure("zones.label: expected a string");
        ruler.entry.label = label->get<std::string>();
    }
    if (const json* enabled = member(value, "isEnabled")) {
        if (!enabled->is_boolean())
            return Decoded<StoredRuler>::failure("zones.isEnabled: expected a boolean");
        ruler.isEnabled = enabled->get<bool>();
    }
    return {std::move(ruler), {}};
}

}  // namespace

Settings Settings::initial(const TimeZone& currentZone)
{
    Settings settings;
    settings.zones.push_back(ZoneEntry{currentZone.id(), std::nullopt});
    return settings;
}

bool Settings::zonesMatch(std::string_view a, std::string_view b)
{
    if (a == b)
        return true;
    const auto zoneA = TimeZone::named(a);
    const auto zoneB = TimeZone::named(b);
    return zoneA && zoneB && zoneA->id() == zoneB->id();
}

TimeZone Settings::primaryZone(const TimeZone& currentZone) const
{
    if (primaryZoneID)
        if (auto zone = TimeZone::named(*primaryZoneID))
            return *zone;
    return currentZone;
}

std::vector<RenderZone> Settings::renderZones(const TimeZone& currentZone) const
{
    const TimeZone primary = primaryZone(currentZone);
    std::vector<ZoneEntry> rulers = zones;
    if (std::none_of(rulers.begin(), rulers.end(),
                     [&](const ZoneEntry& z) { return zonesMatch(z.id, primary.id()); }))
        rulers.insert(rulers.begin(), ZoneEntry{primary.id(), std::nullopt});
    std::vector<RenderZone> result;
    std::unordered_set<std::string> seen;
    for (const ZoneEntry& ruler : rulers) {
        const auto zone = ruler.zone();
        if (!zone || !seen.insert(zone->id()).second)
            continue;
        result.push_back(RenderZone{*zone, ruler.displayName()});
    }
    return result;
}

std::set<std::string> Settings::includedCalendars(std::span<const CalendarInfo> calendars) const
{
    std::set<std::string> included;
    for (const CalendarInfo& calendar : calendars) {
        const bool isIncluded = excludedCalendars ? !excludedCalendars->contains(calendar.id)
                                                  : !calendar.isBirthdayOrSubscription;
        if (isIncluded)
            included.insert(calendar.id);
    }
    return included;
}

void Settings::ensurePrimaryRuler(const TimeZone& currentZone)
{
    const std::string primary = primaryZone(currentZone).id();
    if (std::none_of(zones.begin(), zones.end(),
                     [&](const ZoneEntry& z) { return zonesMatch(z.id, primary); }))
        zones.insert(zones.begin(), ZoneEntry{primary, std::nullopt});
}

void Settings::addZone(std::string_view id)
{
    if (std::any_of(zones.begin(), zones.end(),
                    [&](const ZoneEntry& z) { return zonesMatch(z.id, id); }))
        return;
    zones.push_back(ZoneEntry{std::string(id), std::nullopt});
}

void Settings::removeZone(std::string_view id, const TimeZone& currentZone)
{
    if (zonesMatch(id, primaryZone(currentZone).id()))
        return;
    std::erase_if(zones, [&](const ZoneEntry& z) { return zonesMatch(z.id, id); });
}

void Settings::moveZone(std::string_view id, std::int64_t index)
{
    const auto it = std::find_if(zones.begin(), zones.end(),
                                 [&](const ZoneEntry& z) { return zonesMatch(z.id, id); });
    if (it == zones.end())
        return;
    ZoneEntry moved = std::move(*it);
    zones.erase(it);
    const auto target = std::clamp<std::int64_t>(index, 0, static_cast<std::int64_t>(zones.size()));
    zones.insert(zones.begin() + target, std::move(moved));
}

void Settings::renameZone(std::string_view id, std::optional<std::string_view> label)
{
    const auto it = std::find_if(zones.begin(), zones.end(),
                                 [&](const ZoneEntry& z) { return zonesMatch(z.id, id); });
    if (it == zones.end())
        return;
    const std::string_view trimmed = label ? HorizontalSpace::trimmed(*label) : std::string_view{};
    it->label = trimmed.empty() ? std::nullopt : std::optional<std::string>(trimmed);
}

void Settings::setCalendar(std::string_view id, bool included,
                           std::span<const CalendarInfo> calendars)
{
    std::set<std::string> excluded;
    if (excludedCalendars) {
        excluded = *excludedCalendars;
    } else {
        for (const CalendarInfo& calendar : calendars)
            if (calendar.isBirthdayOrSubscription)
                excluded.insert(calendar.id);
    }
    if (included)
        excluded.erase(std::string(id));
    else
        excluded.insert(std::string(id));
    excludedCalendars = std::move(excluded);
}

std::string Settings::toJson() const
{
    // Written in field order, as the record was always written; readers take any order.
    nlohmann::ordered_json out = nlohmann::ordered_json::object();
    if (excludedCalendars)
        out["excludedCalendars"] = *excludedCalendars;
    auto zonesJson = nlohmann::ordered_json::array();
    for (const ZoneEntry& zone : zones) {
        nlohmann::ordered_json entry{{"id", zone.id}};
        if (zone.label)
            entry["label"] = *zone.label;
        zonesJson.push_back(std::move(entry));
    }
    out["zones"] = std::move(zonesJson);
    if (primaryZoneID)
        out["primaryZoneID"] = *primaryZoneID;
    out["use24Hour"] = use24Hour;
    out["window"] = {{"startMinutes", window.startMinutes}, {"endMinutes", window.endMinutes}};
    out["minimumMinutes"] = minimumMinutes;
    out["leadTimeMinutes"] = leadTimeMinutes;
    out["heading"] = heading;
    out["dayCount"] = dayCount;
    out["soundsEnabled"] = soundsEnabled;
    return out.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

namespace {

Decoded<Settings> decodeRecord(std::string_view text, bool& isEarlierForm)
{
    json record;
    try {
        record = json::parse(text.begin(), text.end());
    } catch (const json::exception& e) {
        return Decoded<Settings>::failure(std::string("invalid JSON: ") + e.what());
    }
    if (!record.is_object())
        return Decoded<Settings>::failure("expected an object");

    Settings settings;
    if (const json* excluded = member(record, "excludedCalendars")) {
        if (!excluded->is_array())
            return Decoded<Settings>::failure("excludedCalendars: expected an array of strings");
        std::set<std::string> ids;
        for (const json& id : *excluded) {
            if (!id.is_string())
                return Decoded<Settings>::failure(
                    "excludedCalendars: expected an array of strings");
            ids.insert(id.get<std::string>());
        }
        settings.excludedCalendars = std::move(ids);
    }

    if (const json* zones = member(record, "zones")) {
        if (!zones->is_array())
            return Decoded<Settings>::failure("zones: expected an array");
        std::vector<StoredRuler> decoded;
        for (const json& value : *zones) {
            auto zone = decodeZone(value);
            if (!zone)
                return Decoded<Settings>::failure(zone.error);
            decoded.push_back(std::move(*zone.value));
        }
        isEarlierForm = std::any_of(decoded.begin(), decoded.end(),
                                    [](const StoredRuler& r) { return r.isEnabled.has_value(); });
        // Keeps the first of the rulers naming one zone, by text or by resolved zone.
        std::unordered_set<std::string> keptTexts;
        std::unordered_set<std::string> keptZones;
        for (StoredRuler& ruler : decoded) {
            if (ruler.isEnabled == false)
                continue;
            ZoneEntry& zone = ruler.entry;
            const auto resolved = zone.zone();
            if (keptTexts.contains(zone.id) || (resolved && keptZones.contains(resolved->id())))
                continue;
            keptTexts.insert(zone.id);
            if (resolved)
                keptZones.insert(resolved->id());
            settings.zones.push_back(std::move(zone));
        }
    }

    if (const json* primary = member(record, "primaryZoneID")) {
        if (!primary->is_string())
            return Decoded<Settings>::failure("primaryZoneID: expected a string");
        settings.primaryZoneID = primary->get<std::string>();
    }
    if (const json* window = member(record, "window")) {
        auto decoded = JsonForms::decodeDailyWindow(*window);
        if (!decoded)
            return Decoded<Settings>::failure(decoded.error);
        settings.window = *decoded.value;
    }
    const auto wrongType = [](const char* key, const char* expected) {
        return Decoded<Settings>::failure(std::string(key) + ": expected " + expected);
    };
    if (!read(record, "use24Hour", settings.use24Hour))
        return wrongType("use24Hour", "a boolean");
    if (!read(record, "minimumMinutes", settings.minimumMinutes))
        return wrongType("minimumMinutes", "an integer");
    if (!read(record, "leadTimeMinutes", settings.leadTimeMinutes))
        return wrongType("leadTimeMinutes", "an integer");
    if (!read(record, "heading", settings.heading))
        return wrongType("heading", "a string");
    if (!read(record, "dayCount", settings.dayCount))
        return wrongType("dayCount", "an integer");
    if (!read(record, "soundsEnabled", settings.soundsEnabled))
        return wrongType("soundsEnabled", "a boolean");
    return {std::move(settings), {}};
}

}  // namespace

Decoded<Settings> Settings::fromJson(std::string_view text)
{
    return decode(text).settings;
}

Settings::Decoding Settings::decode(std::string_view text)
{
    bool isEarlierForm = false;
    Decoded<Settings> settings = decodeRecord(text, isEarlierForm);
    const bool migrated = isEarlierForm && settings.value.has_value();
    return Decoding{std::move(settings), migrated};
}

}  // namespace nelvo
