#include "ui/canvas/motion.h"

#include <QApplication>
#include <QEasingCurve>
#include <QVariantAnimation>

namespace nelvo::Motion {

namespace {
bool forcedOff = false;
}

bool isAllowed()
{
    if (forcedOff || qEnvironmentVariableIsSet("NELVO_REDUCE_MOTION"))
        return false;
    // Desktops that turn animations off say so through the UI effects of the platform theme.
    return QApplication::isEffectEnabled(Qt::UI_AnimateMenu) ||
           QApplication::isEffectEnabled(Qt::UI_General);
}

void setForcedOff(bool off)
{
    forcedOff = off;
}

QEasingCurve spring()
{
    // Damping about 0.85: a small overshoot that settles.
    QEasingCurve curve(QEasingCurve::OutBack);
    curve.setOvershoot(0.9);
    return curve;
}

QVariantAnimation* makeSpring(QObject* owner, std::function<void(const QVariant&)> onValue)
{
    auto* animation = new QVariantAnimation(owner);
    animation->setDuration(durationMilliseconds);
    animation->setEasingCurve(spring());
    QObject::connect(animation, &QVariantAnimation::valueChanged, owner, std::move(onValue));
    return animation;
}

}  // namespace nelvo::Motion
