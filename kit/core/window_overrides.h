#pragma once

#include "kit/core/daily_window.h"
#include "kit/core/decoded.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace nelvo {

enum class WindowEdge { start, end };

// One day's replacements of the shared window's start and end, each independent.
struct DayOverride {
    std::optional<std::int64_t> start;
    std::optional<std::int64_t> end;

    bool operator==(const DayOverride&) const = default;
};

// Per-day window edits, by day key. An entry exists only while one of its fields is set
// (a decoded file may still hold an empty entry; it behaves like none).
struct WindowOverrides {
    std::map<std::string, DayOverride> byDay;

    // The shared window with this day's replacements.
    DailyWindow effectiveWindow(std::string_view dayKey, const DailyWindow& shared) const;
    bool isOverridden(WindowEdge edge, std::string_view dayKey) const;
    void set(WindowEdge edge, std::int64_t minutes, const std::string& dayKey);
    // Removes one edge; the entry goes when neither edge is left.
    void clear(WindowEdge edge, std::string_view dayKey);
    // Keeps the entries of `dayKey` and later.
    void prune(std::string_view dayKey);

    bool operator==(const WindowOverrides&) const = default;

    // {"byDay":{"2025-03-07":{"start":600}}}
    std::string toJson() const;
    static Decoded<WindowOverrides> fromJson(std::string_view json);
};

}  // namespace nelvo

template <>
struct std::hash<nelvo::WindowEdge> {
    std::size_t operator()(nelvo::WindowEdge e) const noexcept
    {
        return static_cast<std::size_t>(e);
    }
};
