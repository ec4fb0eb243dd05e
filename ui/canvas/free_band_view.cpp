#include "ui/canvas/free_band_view.h"

#include "kit/canvas/edge_touch.h"
#include "ui/canvas/canvas_accessibility.h"
#include "ui/canvas/canvas_style.h"
#include "ui/canvas/canvas_text.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace nelvo {

namespace {
// A band never collapses below this during a drag.
constexpr double minimumDragHeight = 4;
}  // namespace

FreeBandView::FreeBandView(QWidget* parent) : QWidget(parent)
{
    CanvasAccessibility::install();
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleDescription(QString::fromLatin1(CanvasText::bandHelp));
}

void FreeBandView::setContent(const Content& content, ReachProvider reach, TrimProvider trim)
{
    m_reach = std::move(reach);
    m_trim = std::move(trim);
    if (content == m_content && !m_drag)
        return;
    m_content = content;
    m_dragTop = content.top;
    m_dragBottom = content.bottom;
    setAccessibleName(CanvasText::bandName(content.range));
    if (!m_drag)
        applyGeometry();
    update();
}

void FreeBandView::applyGeometry()
{
    const int top = static_cast<int>(std::lround(m_dragTop));
    const int bottom = static_cast<int>(std::lround(m_dragBottom));
    const QRect rect(m_content.x, top, m_content.width, std::max(1, bottom - top));
    if (geometry() != rect)
        setGeometry(rect);
}

const QString& FreeBandView::shownRange() const
{
    return m_outcome ? m_outcome->range : m_content.range;
}

const QStringList& FreeBandView::shownOtherZones() const
{
    return m_outcome ? m_outcome->otherZones : m_content.otherZones;
}

int FreeBandView::lineRoom() const
{
    const double h = std::max(4.0, m_dragBottom - m_dragTop);
    return std::max(0, static_cast<int>(std::floor((h - 36) / otherLineHeight)));
}

int FreeBandView::otherLineCount() const
{
    return std::min(lineRoom(), static_cast<int>(shownOtherZones().size()));
}

std::optional<WindowEdge> FreeBandView::edgeAt(double y) const
{
    const double reach = std::min<double>(CanvasStyle::bandEdgeHitHeight, height() / 3.0);
    if (y <= reach)
        return WindowEdge::start;
    if (y >= height() - reach)
        return WindowEdge::end;
    return std::nullopt;
}

void FreeBandView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(CanvasStyle::bandBorder(palette()), hasFocus() ? 2 : 1));
    painter.setBrush(CanvasStyle::bandFill(palette(), m_isHovering || m_drag.has_value()));
    painter.drawRoundedRect(box, 6, 6);

    if (height() < 16)
        return;
    const QRectF text = textArea();
    const QFont strong = CanvasStyle::font(font(), -0.5, true);
    painter.setPen(CanvasStyle::bandText(palette()));
    painter.setFont(strong);
    const QFontMetricsF strongMetrics(strong);
    const double rangeWidth = lineWidth(text.top(), strongMetrics.height());
    painter.drawText(QRectF(text.left(), text.top(), rangeWidth, strongMetrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     strongMetrics.elidedText(shownRange(), Qt::ElideRight, rangeWidth));
    painter.setFont(CanvasStyle::font(font(), -1.5));
    double y = firstOtherLineTop();
    for (const QString& shown : shownOtherLines()) {
        painter.drawText(QRectF(text.left(), y, lineWidth(y, otherLineHeight), otherLineHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, shown);
        y += otherLineHeight;
    }
}

QRectF FreeBandView::textArea() const
{
    return QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5).adjusted(7, 3, -6, -3);
}

double FreeBandView::firstOtherLineTop() const
{
    return textArea().top() + QFontMetricsF(CanvasStyle::font(font(), -0.5, true)).height() + 2;
}

double FreeBandView::lineWidth(double top, double lineHeight) const
{
    const QRectF text = textArea();
    double right = text.right();
    for (const QRect& clear : m_content.keepClear) {
        const QRect mine = clear.translated(-pos());
        if (mine.top() < top + lineHeight && top < mine.bottom() + 1)
            right = std::min(right, mine.left() - 4.0);
    }
    return std::max(0.0, right - text.left());
}

QStringList FreeBandView::shownOtherLines() const
{
    // One line per zone, in ruler order, as many as the height holds; a line too long for
    // the band is cut short rather than wrapped, which would push the next zone out. The
    // zone's name gives way first: the times are what the line is for.
    const QFontMetricsF metrics(CanvasStyle::font(font(), -1.5));
    QStringList lines;
    double y = firstOtherLineTop();
    for (int i = 0; i < otherLineCount(); ++i, y += otherLineHeight) {
        QString line = shownOtherZones()[i];
        const double width = lineWidth(y, otherLineHeight);
        const qsizetype split = line.indexOf(QStringLiteral("  "));
        if (split > 0 && metrics.horizontalAdvance(line) > width) {
            const QString name = line.left(split);
            const QString times = line.mid(split);
            // Whole times behind a shortened name; where even that cannot be, the name keeps
            // at most two fifths of the line and the times are cut at the end.
            const double shortest = metrics.horizontalAdvance(name.left(2) + QChar(0x2026));
            double nameRoom = width - metrics.horizontalAdvance(times);
            if (nameRoom < shortest)
                nameRoom = std::max(shortest, width * 0.4);
            line = metrics.elidedText(name, Qt::ElideRight, nameRoom) + times;
        }
        lines << metrics.elidedText(line, Qt::ElideRight, width);
    }
    return lines;
}

void FreeBandView::enterEvent(QEnterEvent*)
{
    m_isHovering = true;
    update();
}

void FreeBandView::leaveEvent(QEvent*)
{
    m_isHovering = false;
    unsetCursor();
    update();
}

void FreeBandView::mousePressEvent(QMouseEvent* event)
{
    const auto edge =
        event->button() == Qt::LeftButton ? edgeAt(event->position().y()) : std::nullopt;
    if (!edge) {
        QWidget::mousePressEvent(event);
        return;
    }
    Drag drag{*edge,
              EdgeTouch::action(m_content.slot, *edge, m_content.window) ==
                  EdgeDragAction::moveDayEdge,
              event->globalPosition().y(),
              *edge == WindowEdge::start ? m_content.top : m_content.bottom,
              m_content.top,
              m_content.bottom};
    if (!drag.movesDayEdge && m_reach) {
        const auto [top, bottom] = m_reach();
        drag.reachTop = std::min(top, m_content.top);
        drag.reachBottom = std::max(bottom, m_content.bottom);
    }
    m_drag = drag;
    event->accept();
}

void FreeBandView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_drag) {
        if (edgeAt(event->position().y()))
            setCursor(Qt::SizeVerCursor);
        else
            unsetCursor();
        return;
    }
    const double translation = event->globalPosition().y() - m_drag->pressGlobalY;
    if (!m_drag->moved && std::abs(translation) < 1)
        return;
    m_drag->moved = true;
    const bool start = m_drag->edge == WindowEdge::start;
    if (m_drag->movesDayEdge) {
        // The band follows the model's window as it moves, so the origin is the press's.
        Q_EMIT dayEdgeDragged(m_drag->edge, m_drag->origin + translation);
        return;
    }
    // Inward within the band, outward up to the reach; the edge and the texts show where a
    // release here lands, snapped as the model will snap it.
    double& moving = start ? m_dragTop : m_dragBottom;
    m_drag->releaseY = start ? std::clamp(m_content.top + translation, m_drag->reachTop,
                                          m_dragBottom - minimumDragHeight)
                             : std::clamp(m_content.bottom + translation,
                                          m_dragTop + minimumDragHeight, m_drag->reachBottom);
    moving = m_drag->releaseY;
    m_outcome.reset();
    if (m_trim) {
        m_outcome = m_trim(m_drag->edge, m_drag->releaseY);
        if (m_outcome->edgeY)
            moving = start ? std::min(*m_outcome->edgeY, m_dragBottom - minimumDragHeight)
                           : std::max(*m_outcome->edgeY, m_dragTop + minimumDragHeight);
    }
    applyGeometry();
    update();
}

void FreeBandView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_drag || event->button() != Qt::LeftButton)
        return;
    const Drag drag = *m_drag;
    m_drag.reset();
    m_outcome.reset();
    const double y = drag.releaseY;
    m_dragTop = m_content.top;
    m_dragBottom = m_content.bottom;
    if (drag.moved) {
        if (drag.movesDayEdge)
            Q_EMIT dayEdgeDragEnded();
        else
            Q_EMIT trimmed(drag.edge, y);
    }
    // The model may have given this band new content meanwhile; either way it rests now.
    m_dragTop = m_content.top;
    m_dragBottom = m_content.bottom;
    applyGeometry();
    update();
}

void FreeBandView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        restore();
}

void FreeBandView::keyPressEvent(QKeyEvent* event)
{
    // Shift+Down trims the start, Shift+Up the end; Delete restores.
    if (event->modifiers() & Qt::ShiftModifier && event->key() == Qt::Key_Down)
        trimStart();
    else if (event->modifiers() & Qt::ShiftModifier && event->key() == Qt::Key_Up)
        trimEnd();
    else if (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace)
        restore();
    else
        QWidget::keyPressEvent(event);
}

}  // namespace nelvo
