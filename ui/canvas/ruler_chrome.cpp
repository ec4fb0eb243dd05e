#include "ui/canvas/ruler_chrome.h"

#include "ui/canvas/canvas_accessibility.h"
#include "ui/canvas/canvas_style.h"
#include "ui/canvas/canvas_text.h"
#include "ui/canvas/context_menu.h"
#include "ui/canvas/ruler_hours_view.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

namespace nelvo {

RulerChrome::RulerChrome(QWidget* parent)
    : QWidget(parent), m_hours(new RulerHoursView(this)), m_badge(new QToolButton(this))
{
    CanvasAccessibility::install();
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::OpenHandCursor);
    m_badge->setText(QStringLiteral("×"));
    m_badge->setAutoRaise(true);
    m_badge->setFixedSize(18, 18);
    m_badge->setToolTip(QString::fromLatin1(CanvasText::removeZone));
    m_badge->setAccessibleName(QString::fromLatin1(CanvasText::removeZone));
    m_badge->setCursor(Qt::ArrowCursor);
    m_badge->hide();
    connect(m_badge, &QToolButton::clicked, this, &RulerChrome::removeRequested);
}

void RulerChrome::setRuler(const std::string& id, const QString& name, bool isPrimary, int index,
                           int count)
{
    m_id = id;
    m_isPrimary = isPrimary;
    m_index = index;
    m_count = count;
    const QString about =
        name + (isPrimary ? QStringLiteral(": the zone the canvas is drawn in") : QString());
    setAccessibleName(name + (isPrimary ? QStringLiteral(", primary") : QString()));
    // The pointer's hint where the pointer is; the keyboard's where the keyboard is.
    setToolTip(about + QString::fromUtf8(CanvasText::rulerHint));
    setAccessibleDescription(about + QString::fromLatin1(isPrimary ? CanvasText::primaryRulerKeys
                                                                   : CanvasText::rulerKeys));
    update();
}

bool RulerChrome::canMove(int delta) const
{
    const int target = m_index + delta;
    return delta != 0 && target >= 0 && target < m_count;
}

void RulerChrome::requestMove(int delta)
{
    if (canMove(delta))
        Q_EMIT moveRequested(delta);
}

void RulerChrome::requestRemove()
{
    if (!m_isPrimary)
        Q_EMIT removeRequested();
}

void RulerChrome::requestMakeFirst()
{
    if (m_index > 0)
        Q_EMIT makeFirstRequested();
}

void RulerChrome::requestRename()
{
    Q_EMIT renameRequested();
}

void RulerChrome::setVisibleTop(int y)
{
    m_visibleTop = y;
    placeBadge();
}

void RulerChrome::setLifted(bool lifted)
{
    m_lifted = lifted;
    setCursor(lifted ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
    update();
}

void RulerChrome::placeBadge()
{
    m_badge->move(width() - m_badge->width() - 1, m_visibleTop + 2);
}

void RulerChrome::resizeEvent(QResizeEvent*)
{
    m_hours->setGeometry(rect());
    placeBadge();
}

void RulerChrome::paintEvent(QPaintEvent*)
{
    if (!m_hovering && !m_lifted && !m_isPrimary && !hasFocus())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = palette().color(m_isPrimary && !m_hovering && !m_lifted ? QPalette::Highlight
                                                                          : QPalette::Text);
    fill.setAlpha(m_lifted ? 40 : (m_hovering ? 22 : 14));
    painter.setPen(hasFocus() ? QPen(palette().color(QPalette::Highlight), 2) : QPen(Qt::NoPen));
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6, 6);
}

void RulerChrome::enterEvent(QEnterEvent*)
{
    m_hovering = true;
    m_badge->setVisible(!m_isPrimary);
    update();
    Q_EMIT hovered(true);
}

void RulerChrome::leaveEvent(QEvent*)
{
    m_hovering = false;
    m_badge->hide();
    update();
    Q_EMIT hovered(false);
}

void RulerChrome::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressed = true;
    Q_EMIT pressed(event->globalPosition());
}

void RulerChrome::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressed)
        Q_EMIT moved(event->globalPosition());
}

void RulerChrome::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_pressed || event->button() != Qt::LeftButton)
        return;
    m_pressed = false;
    Q_EMIT released(event->globalPosition());
}

void RulerChrome::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = ContextMenu::make(this);
    menu->addAction(QString::fromLatin1(CanvasText::makeFirst), this,
                    &RulerChrome::makeFirstRequested);
    QAction* remove = menu->addAction(QString::fromLatin1(CanvasText::remove), this,
                                      &RulerChrome::removeRequested);
    remove->setEnabled(!m_isPrimary);
    ContextMenu::open(menu, this, *event, QPoint(width() / 2, m_visibleTop + 20));
}

void RulerChrome::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
        requestMove(-1);
        break;
    case Qt::Key_Right:
        requestMove(1);
        break;
    case Qt::Key_Home:
        requestMakeFirst();
        break;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        requestRemove();
        break;
    case Qt::Key_F2:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        requestRename();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void RulerChrome::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void RulerChrome::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

}  // namespace nelvo
