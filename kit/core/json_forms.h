#pragma once

// The JSON forms of the day rules, as JSON values, for the stores that embed them.
// Included by .cpp files only: it brings nlohmann's forward declarations.

#include "kit/core/daily_window.h"
#include "kit/core/day_exclusions.h"
#include "kit/core/decoded.h"
#include "kit/core/window_overrides.h"

#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <optional>

namespace nelvo::JsonForms {

nlohmann::json encode(const DailyWindow& window);
nlohmann::json encode(const DayExclusions& exclusions);
nlohmann::json encode(const WindowOverrides& overrides);

// A wrong type fails the decode; a missing (or null) optional member takes its default.
Decoded<DailyWindow> decodeDailyWindow(const nlohmann::json& json);
Decoded<DayExclusions> decodeDayExclusions(const nlohmann::json& json);
Decoded<WindowOverrides> decodeWindowOverrides(const nlohmann::json& json);

// The member `key` of an object; null when it is missing, JSON null (the stored forms read
// both as absent), or `object` is not an object.
const nlohmann::json* member(const nlohmann::json& object, const char* key);

// A JSON integer, or a number with no fraction, within 64 bits; empty otherwise.
std::optional<std::int64_t> integer(const nlohmann::json& value);

}  // namespace nelvo::JsonForms
