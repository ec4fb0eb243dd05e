#include "kit/canvas/canvas_zoom.h"

#include <algorithm>
#include <cmath>

namespace nelvo::CanvasZoom {

double floor(double hours, double viewportHeight, double chromeHeight, double minimum)
{
    const double room = viewportHeight - chromeHeight;
    if (hours > 0 && room > 0)
        return std::max(minimum, room / hours);
    return minimum;
}

double clamped(double current, double hours, double viewportHeight, double chromeHeight,
               double minimum)
{
    if (!std::isfinite(current))
        current = defaultPointsPerHour;
    const double lower = floor(hours, viewportHeight, chromeHeight, minimum);
    return std::min(std::max(maximumPointsPerHour, lower), std::max(current, lower));
}

double offset(Anchor keeping, double ratio, double gridTop)
{
    return std::max(0.0, ((keeping.offset + keeping.anchor) - gridTop) * ratio + gridTop -
                             keeping.anchor);
}

}  // namespace nelvo::CanvasZoom
