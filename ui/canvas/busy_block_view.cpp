#include "ui/canvas/busy_block_view.h"

#include "ui/canvas/canvas_accessibility.h"
#include "ui/canvas/canvas_style.h"
#include "ui/canvas/canvas_text.h"

#include <QMouseEvent>
#include <QPainter>

namespace nelvo {

BusyBlockView::BusyBlockView(Kind kind, QWidget* parent) : QWidget(parent), m_kind(kind)
{
    CanvasAccessibility::install();
}

void BusyBlockView::setTexts(const QString& name, const QStringList& why)
{
    if (name == accessibleName() && why == m_why)
        return;
    m_why = why;
    setAccessibleName(name);
    setAccessibleDescription(why.join(QStringLiteral("; ")));
    QString tip = name;
    for (const QString& line : why)
        tip += QLatin1Char('\n') + line;
    if (m_kind == Kind::held)
        tip += QLatin1Char('\n') + QString::fromLatin1(CanvasText::heldHelp);
    setToolTip(tip);
}

void BusyBlockView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPalette& colours = palette();
    if (m_kind == Kind::held) {
        // Taken out by the user: a flat, lighter block with a dashed edge and its name, so it
        // never reads as a meeting, even where the two touch.
        painter.setPen(QPen(CanvasStyle::busyBorder(colours), 1, Qt::DashLine));
        painter.setBrush(CanvasStyle::heldFill(colours));
        painter.drawRoundedRect(box, 4, 4);
        if (height() >= 16) {
            const QFont small = CanvasStyle::font(font(), -2);
            painter.setFont(small);
            painter.setPen(CanvasStyle::heldText(colours));
            const QRectF text = box.adjusted(6, 1, -4, -1);
            painter.drawText(
                text, Qt::AlignLeft | Qt::AlignVCenter,
                QFontMetricsF(small).elidedText(QString::fromLatin1(CanvasText::heldTag),
                                                Qt::ElideRight, text.width()));
        }
        return;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(CanvasStyle::busyFill(colours));
    painter.drawRoundedRect(box, 4, 4);
    // Diagonal hatching tells busy time from an empty column at a glance. A pattern brush:
    // repainting busy blocks is on the path of every drag movement.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(QBrush(CanvasStyle::busyBorder(colours), Qt::BDiagPattern));
    painter.drawRect(rect().adjusted(2, 2, -2, -2));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(CanvasStyle::busyBorder(colours), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(box, 4, 4);
}

void BusyBlockView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (m_kind == Kind::held && event->button() == Qt::LeftButton)
        restore();
    else
        QWidget::mouseDoubleClickEvent(event);
}

}  // namespace nelvo
