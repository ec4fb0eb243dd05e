#include "ui/canvas/busy_block_view.h"

#include "ui/canvas/canvas_style.h"

#include <QPainter>
#include <QPainterPath>

namespace nelvo {

BusyBlockView::BusyBlockView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void BusyBlockView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(box, 4, 4);
    painter.fillPath(shape, CanvasStyle::busyFill(palette()));
    // Diagonal hatching tells busy time from an empty column at a glance.
    painter.setClipPath(shape);
    painter.setPen(QPen(CanvasStyle::busyBorder(palette()), 1));
    for (int x = -height(); x < width(); x += 9)
        painter.drawLine(QPointF(x, height()), QPointF(x + height(), 0));
    painter.setClipping(false);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(shape);
}

}  // namespace nelvo
