#include "ui/canvas/edge_fade_view.h"

#include "ui/canvas/canvas_style.h"

#include <QLinearGradient>
#include <QPainter>

namespace nelvo {

EdgeFadeView::EdgeFadeView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void EdgeFadeView::setEdges(bool below, bool leading, bool trailing)
{
    if (below == m_below && leading == m_leading && trailing == m_trailing)
        return;
    m_below = below;
    m_leading = leading;
    m_trailing = trailing;
    update();
}

void EdgeFadeView::paintEvent(QPaintEvent*)
{
    if (!m_below && !m_leading && !m_trailing)
        return;
    QPainter painter(this);
    const QColor dark = CanvasStyle::fade(palette());
    const QColor clear(dark.red(), dark.green(), dark.blue(), 0);
    const int length = CanvasStyle::fadeLength;
    auto fill = [&](QRect area, QPointF from, QPointF to) {
        QLinearGradient gradient(from, to);
        gradient.setColorAt(0, dark);
        gradient.setColorAt(1, clear);
        painter.fillRect(area, gradient);
    };
    if (m_below)
        fill(QRect(0, height() - length, width(), length), QPointF(0, height()),
             QPointF(0, height() - length));
    if (m_leading)
        fill(QRect(0, 0, length, height()), QPointF(0, 0), QPointF(length, 0));
    if (m_trailing)
        fill(QRect(width() - length, 0, length, height()), QPointF(width(), 0),
             QPointF(width() - length, 0));
}

}  // namespace nelvo
