#include "ui/tour/callout_bubble.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

#include <algorithm>

namespace nelvo {

using TourAnchor::ArrowEdge;

CalloutBubble::CalloutBubble(QWidget* host) : QWidget(host), m_follow(new QTimer(this))
{
    setAttribute(Qt::WA_TranslucentBackground);
    const int a = TourAnchor::arrowSize;
    setContentsMargins(a, a, a, a);
    hide();
    if (host)
        host->installEventFilter(this);
    // Layouts and scrolling move controls without telling anyone outside.
    m_follow->setInterval(250);
    connect(m_follow, &QTimer::timeout, this, &CalloutBubble::reposition);
}

void CalloutBubble::setAnchorName(const QString& objectName)
{
    m_anchorName = objectName;
    if (isVisible())
        reposition();
}

void CalloutBubble::present()
{
    adjustSize();
    show();
    raise();
    reposition();
    m_follow->start();
}

void CalloutBubble::reposition()
{
    QWidget* host = parentWidget();
    if (!host)
        return;
    QWidget* found = nullptr;
    const auto anchor = TourAnchor::find(host, m_anchorName, &found);
    m_anchor = found;
    // Wrapped text needs the height for the bubble's width, which sizeHint() does not give;
    // that width is the one resize() will allow, or the text is measured for a wider bubble
    // than it gets and its last lines are cut off.
    const int w = std::clamp(std::min(sizeHint().width(), host->width() - 2 * TourAnchor::margin),
                             minimumWidth(), std::max(minimumWidth(), maximumWidth()));
    const int h = hasHeightForWidth() ? heightForWidth(w) : sizeHint().height();
    resize(w, std::max(h, minimumSizeHint().height()));
    const auto placement = TourAnchor::place(host->size(), anchor, size());
    if (placement != m_placement) {
        m_placement = placement;
        update();
    }
    move(placement.topLeft);
    raise();
}

bool CalloutBubble::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && isVisible() &&
        (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest))
        reposition();
    return QWidget::eventFilter(watched, event);
}

void CalloutBubble::hideEvent(QHideEvent* event)
{
    m_follow->stop();
    QWidget::hideEvent(event);
}

void CalloutBubble::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal a = TourAnchor::arrowSize;
    const QRectF body = QRectF(rect()).adjusted(a, a, -a, -a);
    QPainterPath path;
    path.addRoundedRect(body, 10, 10);

    QPainterPath arrow;
    const qreal at = m_placement.arrowOffset;
    switch (m_placement.arrowEdge) {
    case ArrowEdge::top:
        arrow.moveTo(at - a, body.top() + 1);
        arrow.lineTo(at, body.top() - a + 1);
        arrow.lineTo(at + a, body.top() + 1);
        break;
    case ArrowEdge::bottom:
        arrow.moveTo(at - a, body.bottom() - 1);
        arrow.lineTo(at, body.bottom() + a - 1);
        arrow.lineTo(at + a, body.bottom() - 1);
        break;
    case ArrowEdge::left:
        arrow.moveTo(body.left() + 1, at - a);
        arrow.lineTo(body.left() - a + 1, at);
        arrow.lineTo(body.left() + 1, at + a);
        break;
    case ArrowEdge::right:
        arrow.moveTo(body.right() - 1, at - a);
        arrow.lineTo(body.right() + a - 1, at);
        arrow.lineTo(body.right() - 1, at + a);
        break;
    case ArrowEdge::none:
        break;
    }
    arrow.closeSubpath();
    path = path.united(arrow);

    // A soft shadow first, so the bubble lifts off the canvas.
    for (int i = 3; i >= 1; --i) {
        painter.setPen(QPen(QColor(0, 0, 0, 14 * (4 - i)), i * 2.0));
        painter.drawPath(path.translated(0, 1));
    }
    painter.setPen(QPen(palette().color(QPalette::Mid), 1));
    painter.setBrush(palette().color(QPalette::Base));
    painter.drawPath(path);
}

}  // namespace nelvo
