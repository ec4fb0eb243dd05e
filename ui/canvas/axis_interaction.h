#pragma once

#include <QPointF>

#include <optional>
#include <string>

namespace nelvo {

// The ruler drag in progress on the zone axis, the ruler under the pointer and the axis
// size the drag rules need.
struct AxisInteraction {
    struct RulerDrag {
        std::string id;  // zone identifier of the dragged ruler
        int index = 0;   // its place when the drag began
        bool isPrimary = false;
        double grabY = 0;  // within the visible ruler area
        QPointF translation;
    };

    std::optional<RulerDrag> drag;
    std::optional<std::string> hoveredRulerID;
    double axisHeight = 0;
    int count = 0;
};

}  // namespace nelvo
