#include "ui/canvas/freed_mark_view.h"

#include "ui/canvas/canvas_accessibility.h"
#include "ui/canvas/canvas_style.h"
#include "ui/canvas/canvas_text.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace nelvo {

FreedMarkView::FreedMarkView(QWidget* parent) : QWidget(parent)
{
    CanvasAccessibility::install();
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
}

void FreedMarkView::setEvent(const CalendarEvent& event, const QString& name,
                             const QString& description)
{
    m_event = event;
    if (name != accessibleName())
        setAccessibleName(name);
    if (description != accessibleDescription()) {
        setAccessibleDescription(description);
        setToolTip(description + QStringLiteral(". ") + QString::fromLatin1(CanvasText::freedHelp));
    }
}

int FreedMarkView::widthFor(const QFont& font)
{
    const QFontMetrics metrics(CanvasStyle::font(font, -2, true));
    return metrics.horizontalAdvance(QString::fromLatin1(CanvasText::freedTag)) + 20;
}

int FreedMarkView::minimumHeightFor(const QFont& font)
{
    return QFontMetrics(CanvasStyle::font(font, -2, true)).height() + 8;
}

QRect FreedMarkView::markRect() const
{
    const QFontMetrics metrics(CanvasStyle::font(font(), -2, true));
    const int h = std::min(height() - 4, metrics.height() + 2);
    return {4, 3, std::max(0, width() - 8), std::max(0, h)};
}

void FreedMarkView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& colours = palette();
    const QColor ink = CanvasStyle::bandText(colours);
    painter.setPen(QPen(ink, hasFocus() ? 2 : 1.2, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 4, 4);

    const QRectF mark = markRect();
    painter.setPen(hasFocus() ? QPen(colours.color(QPalette::Highlight), 2) : QPen(ink, 1));
    painter.setBrush(CanvasStyle::columnBackground(colours, false));
    painter.drawRoundedRect(mark.adjusted(0.5, 0.5, -0.5, -0.5), mark.height() / 2,
                            mark.height() / 2);
    painter.setFont(CanvasStyle::font(font(), -2, true));
    painter.setPen(ink);
    painter.drawText(mark, Qt::AlignCenter, QString::fromLatin1(CanvasText::freedTag));
}

void FreedMarkView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressed = true;
    event->accept();
}

void FreedMarkView::mouseReleaseEvent(QMouseEvent* event)
{
    const bool clicked = m_pressed && event->button() == Qt::LeftButton &&
                         rect().contains(event->position().toPoint());
    m_pressed = false;
    if (clicked)
        makeBusyAgain();
}

void FreedMarkView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        makeBusyAgain();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void FreedMarkView::focusInEvent(QFocusEvent*)
{
    update();
}

void FreedMarkView::focusOutEvent(QFocusEvent*)
{
    update();
}

}  // namespace nelvo
