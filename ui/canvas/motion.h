#pragma once

class QEasingCurve;

namespace nelvo {

// The springs of the canvas: an overshooting curve of about half a second, or none at all
// when the desktop turns animations off.
namespace Motion {

inline constexpr int durationMilliseconds = 500;

bool isAllowed();
// Tests and the screenshot program switch motion off so that states are final at once.
void setForcedOff(bool off);
QEasingCurve spring();

}  // namespace Motion

}  // namespace nelvo
