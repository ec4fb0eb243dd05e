#include "kit/canvas/edge_touch.h"

namespace nelvo::EdgeTouch {

EdgeDragAction action(const Slot& band, WindowEdge edge, const std::pair<Date, Date>& window)
{
    const bool touches =
        edge == WindowEdge::start ? band.start == window.first : band.end == window.second;
    return touches ? EdgeDragAction::moveDayEdge : EdgeDragAction::trim;
}

}  // namespace nelvo::EdgeTouch
