#include "ui/canvas/busy_block_view.h"

#include "ui/canvas/canvas_style.h"

#include <QPainter>

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
    painter.setPen(Qt::NoPen);
    painter.setBrush(CanvasStyle::busyFill(palette()));
    painter.drawRoundedRect(box, 4, 4);
    // Diagonal hatching tells busy time from an empty column at a glance. A pattern brush:
    // repainting busy blocks is on the path of every drag movement.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(QBrush(CanvasStyle::busyBorder(palette()), Qt::BDiagPattern));
    painter.drawRect(rect().adjusted(2, 2, -2, -2));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(CanvasStyle::busyBorder(palette()), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(box, 4, 4);
}

}  // namespace nelvo
