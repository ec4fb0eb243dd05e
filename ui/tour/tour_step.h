#pragma once

#include <span>
#include <string>

namespace nelvo {

// The steps of the guided tour, in the order they are shown.
enum class TourStep { days, start, hours, freeTime, events, zones, copy, settings };

// What each step says and where it points.
namespace TourSteps {

// All eight, in order.
std::span<const TourStep> all();

const char* title(TourStep step);
const char* body(TourStep step);
// The desktop icon theme's name for the step's symbol; `fallbackIcon` is the bundled picture.
const char* iconName(TourStep step);
const char* fallbackIcon(TourStep step);
// The objectName of the control the step explains: "tour.days", "tour.freeTime", ...
std::string anchorName(TourStep step);

}  // namespace TourSteps

}  // namespace nelvo
