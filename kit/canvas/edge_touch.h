#pragma once

#include "kit/core/date.h"
#include "kit/core/slot.h"
#include "kit/core/window_overrides.h"

#include <utility>

namespace nelvo {

// What dragging an edge of a free band does.
enum class EdgeDragAction {
    trim,         // cuts free time off the band (a reserved block)
    moveDayEdge,  // moves that day's window start or end
};

namespace EdgeTouch {

// `moveDayEdge` when the band's edge on that side is exactly the window's edge (`window` is
// the day's (start, end) instants), else `trim`.
EdgeDragAction action(const Slot& band, WindowEdge edge, const std::pair<Date, Date>& window);

}  // namespace EdgeTouch

}  // namespace nelvo
