#include "kit/canvas/ruler_drag_rules.h"

#include <algorithm>
#include <cmath>

namespace nelvo::RulerDragRules {

namespace {

double centre(int index, double dx, double rulerWidth, double spacing)
{
    return index * (rulerWidth + spacing) + rulerWidth / 2 + dx;
}

}  // namespace

int targetIndex(int index, int count, double dx, double rulerWidth, double spacing)
{
    if (count < 1)
        return 0;
    const int last = count - 1;
    const double pitch = rulerWidth + spacing;
    const double slot =
        std::round((centre(index, dx, rulerWidth, spacing) - rulerWidth / 2) / pitch);
    if (!std::isfinite(slot))
        return std::clamp(index, 0, last);
    return static_cast<int>(std::clamp(slot, 0.0, static_cast<double>(last)));
}

bool isOutside(int index, int count, double dx, double vertical, const Layout& layout)
{
    const double pitch = layout.rulerWidth + layout.spacing;
    const double c = centre(index, dx, layout.rulerWidth, layout.spacing);
    return c < -outsideTolerance || c > pitch * count - layout.spacing + outsideTolerance ||
           vertical < -outsideTolerance || vertical > layout.axisHeight + outsideTolerance;
}

Outcome outcome(int index, bool isPrimary, double dx, double vertical, const Layout& layout)
{
    if (isOutside(index, layout.count, dx, vertical, layout))
        return isPrimary ? Outcome::cancel() : Outcome::remove();
    const int target = targetIndex(index, layout.count, dx, layout.rulerWidth, layout.spacing);
    return target == index ? Outcome::cancel() : Outcome::move(target);
}

}  // namespace nelvo::RulerDragRules
