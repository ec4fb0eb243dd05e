#include "kit/core/json_forms.h"

#include <nlohmann/json.hpp>

#include <cmath>

namespace nelvo::JsonForms {

using nlohmann::json;

const json* member(const json& object, const char* key)
{
    const auto it = object.find(key);
    return it == object.end() || it->is_null() ? nullptr : &*it;
}

namespace {

template <typename T>
Decoded<T> parseThen(std::string_view text, Decoded<T> (*decode)(const json&))
{
    try {
        const json value = json::parse(text.begin(), text.end());
        return decode(value);
    } catch (const json::exception& e) {
        return Decoded<T>::failure(std::string("invalid JSON: ") + e.what());
    }
}

std::optional<bool> optionalBool(const json& object, const char* key, bool& wrongType)
{
    if (!member(object, key))
        return std::nullopt;
    const json& value = object.at(key);
    if (!value.is_boolean()) {
        wrongType = true;
        return std::nullopt;
    }
    return value.get<bool>();
}

}  // namespace

std::optional<std::int64_t> integer(const json& value)
{
    if (value.is_number_unsigned()) {
        const auto u = value.get<std::uint64_t>();
        if (u > static_cast<std::uint64_t>(INT64_MAX))
            return std::nullopt;
        return static_cast<std::int64_t>(u);
    }
    if (value.is_number_integer())
        return value.get<std::int64_t>();
    if (value.is_number_float()) {
        const double d = value.get<double>();
        // 2^63 itself is out of range; every double below it converts exactly.
        if (std::isfinite(d) && d == std::trunc(d) && d >= -9223372036854775808.0 &&
            d < 9223372036854775808.0)
            return static_cast<std::int64_t>(d);
    }
    return std::nullopt;
}

json encode(const DailyWindow& window)
{
    return json{{"startMinutes", window.startMinutes}, {"endMinutes", window.endMinutes}};
}

json encode(const DayExclusions& exclusions)
{
    json toggled = json::array();
    for (const auto& key : exclusions.toggled)
        toggled.push_back(key);
    return json{{"saturdaysOff", exclusions.saturdaysOff},
                {"sundaysOff", exclusions.sundaysOff},
                {"toggled", std::move(toggled)}};
}

json encode(const WindowOverrides& overrides)
{
    json byDay = json::object();
    for (const auto& [key, day] : overrides.byDay) {
        json entry = json::object();
        if (day.start)
            entry["start"] = *day.start;
        if (day.end)
            entry["end"] = *day.end;
        byDay[key] = std::move(entry);
    }
    return json{{"byDay", std::move(byDay)}};
}

Decoded<DailyWindow> decodeDailyWindow(const json& value)
{
    if (!value.is_object())
        return Decoded<DailyWindow>::failure("window: expected an object");
    DailyWindow window;
    for (const char* key : {"startMinutes", "endMinutes"}) {
        const auto it = value.find(key);
        if (it == value.end())
            return Decoded<DailyWindow>::failure(std::string(key) + ": missing");
        const auto minutes = integer(*it);
        if (!minutes)
            return Decoded<DailyWindow>::failure(std::string(key) + ": expected an integer");
        (std::string_view(key) == "startMinutes" ? window.startMinutes : window.endMinutes) =
            *minutes;
    }
    return {window, {}};
}

Decoded<DayExclusions> decodeDayExclusions(const json& value)
{
    if (!value.is_object())
        return Decoded<DayExclusions>::failure("exclusions: expected an object");
    bool wrongType = false;
    const auto legacy = optionalBool(value, "weekendsOff", wrongType);
    const auto saturdays = optionalBool(value, "saturdaysOff", wrongType);
    const auto sundays = optionalBool(value, "sundaysOff", wrongType);
    if (wrongType)
        return Decoded<DayExclusions>::failure("exclusions: expected a boolean");
    DayExclusions exclusions;
    exclusions.saturdaysOff = saturdays.value_or(legacy.value_or(true));
    exclusions.sundaysOff = sundays.value_or(legacy.value_or(true));
    if (member(value, "toggled")) {
        const json& toggled = value.at("toggled");
        if (!toggled.is_array())
            return Decoded<DayExclusions>::failure("toggled: expected an array of day keys");
        for (const json& key : toggled) {
            if (!key.is_string())
                return Decoded<DayExclusions>::failure("toggled: expected an array of day keys");
            exclusions.toggled.insert(key.get<std::string>());
        }
    }
    return {exclusions, {}};
}

Decoded<WindowOverrides> decodeWindowOverrides(const json& value)
{
    if (!value.is_object())
        return Decoded<WindowOverrides>::failure("overrides: expected an object");
    WindowOverrides overrides;
    if (!member(value, "byDay"))
        return {overrides, {}};
    const json& byDay = value.at("byDay");
    if (!byDay.is_object())
        return Decoded<WindowOverrides>::failure("byDay: expected an object");
    for (const auto& [key, entry] : byDay.items()) {
        if (!entry.is_object())
            return Decoded<WindowOverrides>::failure("byDay." + key + ": expected an object");
        DayOverride day;
        for (const char* edge : {"start", "end"}) {
            if (!member(entry, edge))
                continue;
            const auto minutes = integer(entry.at(edge));
            if (!minutes)
                return Decoded<WindowOverrides>::failure("byDay." + key + "." + edge +
                                                         ": expected an integer");
            (std::string_view(edge) == "start" ? day.start : day.end) = *minutes;
        }
        overrides.byDay.emplace(key, day);
    }
    return {overrides, {}};
}

}  // namespace nelvo::JsonForms

namespace nelvo {

std::string DailyWindow::toJson() const
{
    return JsonForms::encode(*this).dump();
}

Decoded<DailyWindow> DailyWindow::fromJson(std::string_view json)
{
    return JsonForms::parseThen<DailyWindow>(json, &JsonForms::decodeDailyWindow);
}

std::string DayExclusions::toJson() const
{
    return JsonForms::encode(*this).dump();
}

Decoded<DayExclusions> DayExclusions::fromJson(std::string_view json)
{
    return JsonForms::parseThen<DayExclusions>(json, &JsonForms::decodeDayExclusions);
}

std::string WindowOverrides::toJson() const
{
    return JsonForms::encode(*this).dump();
}

Decoded<WindowOverrides> WindowOverrides::fromJson(std::string_view json)
{
    return JsonForms::parseThen<WindowOverrides>(json, &JsonForms::decodeWindowOverrides);
}

}  // namespace nelvo
