#pragma once

namespace nelvo {

// Zoom limits of the canvas, in points per hour, and the arithmetic of fitting and zooming.
namespace CanvasZoom {

inline constexpr double defaultPointsPerHour = 44;
inline constexpr double minimumPointsPerHour = 16;
// Exceeded only when the hour range needs more to fill the visible height.
inline constexpr double maximumPointsPerHour = 160;
// Height above and below the hours that the canvas keeps free of them.
inline constexpr double reservedHeight = 8;

// The pointer's place in the viewport and the scroll offset at the start of a zoom step.
struct Anchor {
    double anchor = 0;
    double offset = 0;

    bool operator==(const Anchor&) const = default;
};

// The zoom at which `hours` hours fill `viewportHeight` less `chromeHeight`, never below
// `minimum`. `minimum` when there are no hours or no room.
double floor(double hours, double viewportHeight, double chromeHeight = reservedHeight,
             double minimum = minimumPointsPerHour);

// `current` limited so the hours never end above the bottom of the viewport and the zoom
// never passes the maximum unless fitting needs more. A `current` that is not a finite
// number (a damaged stored zoom) counts as the default.
double clamped(double current, double hours, double viewportHeight,
               double chromeHeight = reservedHeight, double minimum = minimumPointsPerHour);

// The scroll offset that keeps the content under the pointer in place when the zoom changes
// by `ratio`; `gridTop` is the height above the content that does not scale. Never negative.
double offset(Anchor keeping, double ratio, double gridTop);

}  // namespace CanvasZoom

}  // namespace nelvo
