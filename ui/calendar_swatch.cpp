#include "ui/calendar_swatch.h"

#include <QColor>
#include <QPainter>
#include <QPixmap>

namespace nelvo {

QIcon calendarSwatch(const std::string& colorHex, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QColor color(QString::fromStdString(colorHex));
    painter.setBrush(color.isValid() ? color : QColor(0x8E, 0x8E, 0x93));
    const double inset = size / 12.0;
    painter.drawEllipse(QRectF(inset, inset, size - 2 * inset, size - 2 * inset));
    return QIcon(pixmap);
}

}  // namespace nelvo
