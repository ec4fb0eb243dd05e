#include "ui/tour/tour_anchor.h"

#include <QWidget>

#include <algorithm>

namespace nelvo::TourAnchor {
namespace {

int clamped(int value, int low, int high)
{
    return std::clamp(value, low, std::max(low, high));
}

}  // namespace

Placement place(QSize host, std::optional<QRect> anchor, QSize callout)
{
    const int w = callout.width();
    const int h = callout.height();
    const int maxX = host.width() - w - margin;
    const int maxY = host.height() - h - margin;
    if (!anchor) {
        return {QPoint(clamped((host.width() - w) / 2, margin, maxX),
                       clamped((host.height() - h) / 3, margin, maxY)),
                ArrowEdge::none, 0};
    }
    const QRect a = *anchor;
    const int gap = arrowSize + 2;
    auto horizontal = [&](ArrowEdge edge, int y) {
        const int x = clamped(a.center().x() - w / 2, margin, maxX);
        return Placement{QPoint(x, y), edge,
                         std::clamp(a.center().x() - x, 18, std::max(18, w - 18))};
    };
    auto vertical = [&](ArrowEdge edge, int x) {
        const int y = clamped(a.center().y() - h / 2, margin, maxY);
        return Placement{QPoint(x, y), edge,
                         std::clamp(a.center().y() - y, 18, std::max(18, h - 18))};
    };
    if (a.bottom() + gap + h <= host.height() - margin)
        return horizontal(ArrowEdge::top, a.bottom() + 1 + gap);
    if (a.top() - gap - h >= margin)
        return horizontal(ArrowEdge::bottom, a.top() - gap - h);
    if (a.right() + gap + w <= host.width() - margin)
        return vertical(ArrowEdge::left, a.right() + 1 + gap);
    if (a.left() - gap - w >= margin)
        return vertical(ArrowEdge::right, a.left() - gap - w);
    // The anchor fills the window: over it, near the top, without an arrow.
    return {QPoint(clamped((host.width() - w) / 2, margin, maxX), margin), ArrowEdge::none, 0};
}

std::optional<QRect> find(const QWidget* host, const QString& objectName, QWidget** found)
{
    if (!host)
        return std::nullopt;
    for (QWidget* widget : host->findChildren<QWidget*>(objectName)) {
        if (!widget->isVisible() || widget->window() != host->window())
            continue;
        const QRect visible = widget->visibleRegion().boundingRect();
        if (visible.isEmpty())
            continue;
        QRect inHost(widget->mapTo(host, visible.topLeft()), visible.size());
        inHost &= host->rect();
        if (inHost.isEmpty())
            continue;
        if (found)
            *found = widget;
        return inHost;
    }
    return std::nullopt;
}

}  // namespace nelvo::TourAnchor
