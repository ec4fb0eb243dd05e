#pragma once

#include <functional>

class QEasingCurve;
class QObject;
class QVariant;
class QVariantAnimation;

namespace nelvo {

// The springs of the canvas: an overshooting curve of about half a second, or none at all
// when the desktop turns animations off.
namespace Motion {

inline constexpr int durationMilliseconds = 500;

bool isAllowed();
// Tests and the screenshot program switch motion off so that states are final at once.
void setForcedOff(bool off);
QEasingCurve spring();
// A spring animation owned by `owner`, that hands each value to `onValue`; not started.
QVariantAnimation* makeSpring(QObject* owner, std::function<void(const QVariant&)> onValue);

}  // namespace Motion

}  // namespace nelvo
