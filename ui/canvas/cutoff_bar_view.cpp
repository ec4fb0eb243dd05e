#include "ui/canvas/cutoff_bar_view.h"

#include "ui/canvas/canvas_accessibility.h"
#include "ui/canvas/canvas_style.h"
#include "ui/canvas/canvas_text.h"
#include "ui/canvas/motion.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>

namespace nelvo {

CutoffBarView::CutoffBarView(WindowEdge edge, QWidget* parent) : QWidget(parent), m_edge(edge)
{
    CanvasAccessibility::install();
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::SizeVerCursor);
    setAttribute(Qt::WA_Hover);
    updateName();
}

void CutoffBarView::setState(std::int64_t minutes, const QString& timeLabel, bool isOverride)
{
    if (minutes == m_minutes && timeLabel == m_timeLabel && isOverride == m_isOverride)
        return;
    const bool moved = minutes != m_minutes || timeLabel != m_timeLabel;
    m_minutes = minutes;
    m_timeLabel = timeLabel;
    m_isOverride = isOverride;
    updateName();
    update();
    // A screen reader says the new time as the bar moves.
    if (moved) {
        QAccessibleValueChangeEvent changed(this, static_cast<int>(minutes));
        QAccessible::updateAccessibility(&changed);
    }
}

void CutoffBarView::followShared()
{
    if (m_isOverride)
        Q_EMIT doubleClicked();
}

void CutoffBarView::setFixedName(const QString& name)
{
    m_fixedName = name;
    updateName();
}

void CutoffBarView::updateName()
{
    setAccessibleName(m_fixedName.isEmpty() ? CanvasText::barName(m_edge, m_isOverride)
                                            : m_fixedName);
}

void CutoffBarView::place(double y, int x, int width, bool animated)
{
    const int height = CanvasStyle::barHitHeight;
    const auto target = QRect(x, static_cast<int>(std::lround(y - height / 2.0)), width, height);
    m_centreY = y;
    if (m_spring)
        m_spring->stop();
    if (!animated || !Motion::isAllowed() || !isVisible() || geometry().width() != width) {
        if (geometry() != target)
            setGeometry(target);
        return;
    }
    if (!m_spring) {
        m_spring =
            Motion::makeSpring(this, [this](const QVariant& value) { move(value.toPoint()); });
    }
    m_spring->setStartValue(pos());
    m_spring->setEndValue(target.topLeft());
    m_spring->start();
}

void CutoffBarView::setGaps(std::vector<std::pair<double, double>> gaps)
{
    if (gaps == m_gaps)
        return;
    m_gaps = std::move(gaps);
    update();
}

QColor CutoffBarView::barColour() const
{
    return m_isOverride ? CanvasStyle::overridingBar(palette())
                        : CanvasStyle::followingBar(palette());
}

void CutoffBarView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour = barColour();
    const double mid = height() / 2.0;
    const bool strong = hasFocus() || underMouse() || isDragging();

    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    const double thickness = strong ? 4 : 3;
    constexpr double clearance = 3;
    double from = 0;
    for (const auto& [left, right] : m_gaps) {
        if (left - clearance > from)
            painter.drawRoundedRect(
                QRectF(from, mid - thickness / 2, left - clearance - from, thickness), 1.5, 1.5);
        from = std::max(from, right + clearance);
    }
    if (width() > from)
        painter.drawRoundedRect(QRectF(from, mid - thickness / 2, width() - from, thickness), 1.5,
                                1.5);

    // The label sits in a pill at the trailing end of the bar, clear of the bands' texts and
    // of the rulers' hours.
    const QString text = label();
    if (text.isEmpty())
        return;
    const QFont small = CanvasStyle::font(font(), -1.5, true);
    painter.setFont(small);
    const QFontMetricsF metrics(small);
    const double pillWidth = metrics.horizontalAdvance(text) + 10;
    const double shown = std::min(pillWidth, width() - 6.0);
    const QRectF pill(width() - 3 - shown, 0.5, shown, height() - 1.0);
    painter.drawRoundedRect(pill, pill.height() / 2, pill.height() / 2);
    painter.setPen(Qt::white);
    painter.drawText(pill, Qt::AlignCenter,
                     metrics.elidedText(text, Qt::ElideRight, pill.width() - 4));
    if (hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1.5));
        painter.drawRoundedRect(pill.adjusted(-1, -0.5, 1, 0.5), pill.height() / 2,
                                pill.height() / 2);
    }
}

void CutoffBarView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressed = true;
    m_pressGlobalY = event->globalPosition().y();
    event->accept();
}

void CutoffBarView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressed)
        return;
    const double translation = event->globalPosition().y() - m_pressGlobalY;
    if (!m_dragOrigin) {
        if (std::abs(translation) < 1)
            return;
        m_dragOrigin = m_centreY;
    }
    Q_EMIT dragged(*m_dragOrigin + translation);
}

void CutoffBarView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = false;
    if (m_dragOrigin) {
        m_dragOrigin.reset();
        update();
        Q_EMIT dragEnded();
    }
}

void CutoffBarView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        followShared();
}

void CutoffBarView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        nudge(-15);
        break;
    case Qt::Key_Down:
        nudge(15);
        break;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        followShared();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

}  // namespace nelvo
