#pragma once

#include "kit/core/slot.h"
#include "kit/render/render_options.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace nelvo {

// The single-zone message before it becomes text, Markdown, HTML or RTF, so that all of them
// agree line for line.
struct MessageLayout {
    struct Day {
        std::string label;               // "Monday, March 3, 2025", in the primary zone
        std::vector<std::string> slots;  // "9:00AM - 10:30AM", "10:00PM - 1:00AM (Tue)"

        bool operator==(const Day&) const = default;
    };

    std::optional<std::string> heading;
    std::optional<std::string> zoneLine;  // "All times are in …"; empty when there are no slots
    std::vector<Day> days;                // days that have slots, in slot order

    // Slots are expected in start order and are grouped by primary-zone day as given. Only
    // `zones`, `primary`, `use24Hour` and `heading` of the options are read.
    static MessageLayout build(std::span<const Slot> slots, const RenderOptions& options);

    bool operator==(const MessageLayout&) const = default;
};

}  // namespace nelvo
