#pragma once

#include "kit/core/slot.h"
#include "kit/render/render_options.h"
#include "kit/render/rendered_table.h"

#include <span>
#include <string_view>

namespace nelvo {

namespace TableBuilder {

// The one text every output shows when there are no slots.
inline constexpr std::string_view emptyRangeText = "No availability in this range.";

// One row per slot and one column per entry of `options.zones`, grouped by primary-zone day
// in the order given (slots are expected in start order). Cells read
// "9:00am – 10:30am", with "(Tue)" after an end point on another day than the row's
// primary-zone day. With no slots, `days` is empty but the heading and labels are set.
RenderedTable build(std::span<const Slot> slots, const RenderOptions& options);

}  // namespace TableBuilder

}  // namespace nelvo
