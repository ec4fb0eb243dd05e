#pragma once

#include <QIcon>

#include <string>

namespace nelvo {

// A round swatch of a calendar's colour ("#3B82F6"), as shown beside the calendar's name;
// grey when the colour cannot be read. `size` is the icon's side in pixels.
QIcon calendarSwatch(const std::string& colorHex, int size);

}  // namespace nelvo
