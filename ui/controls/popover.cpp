#include "ui/controls/popover.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

#include <algorithm>

namespace nelvo {

Popover::Popover(QWidget* parent) : QFrame(parent, Qt::Popup)
{
    setFrameShape(QFrame::StyledPanel);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setObjectName(QStringLiteral("popover"));
    setStyleSheet(QStringLiteral("nelvo--Popover { border: 1px solid palette(mid); "
                                 "border-radius: 8px; background: palette(window); }"));
}

void Popover::openAt(QWidget* anchor)
{
    m_anchor = anchor;
    adjustSize();
    move(placement());
    show();
    raise();
    activateWindow();
}

QPoint Popover::placement() const
{
    const QSize size = sizeHint().expandedTo(this->size());
    QRect area;
    QPoint at;
    if (m_anchor) {
        const QPoint bottomLeft = m_anchor->mapToGlobal(QPoint(0, m_anchor->height()));
        at = QPoint(bottomLeft.x() + m_anchor->width() / 2 - size.width() / 2, bottomLeft.y() + 4);
        const QScreen* screen = m_anchor->screen();
        area = screen ? screen->availableGeometry() : QRect();
        if (area.isValid() && at.y() + size.height() > area.bottom())
            at.setY(m_anchor->mapToGlobal(QPoint(0, 0)).y() - size.height() - 4);
    } else if (const QWidget* window = parentWidget() ? parentWidget()->window() : nullptr) {
        const QRect frame(window->mapToGlobal(QPoint(0, 0)), window->size());
        at = frame.center() - QPoint(size.width() / 2, size.height() / 2);
        area = window->screen() ? window->screen()->availableGeometry() : QRect();
    }
    if (area.isValid()) {
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - size.width())));
        at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - size.height())));
    }
    return at;
}

void Popover::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        event->accept();
        return;
    }
    QFrame::keyPressEvent(event);
}

void Popover::showEvent(QShowEvent* event)
{
    QFrame::showEvent(event);
    Q_EMIT opened();
}

void Popover::hideEvent(QHideEvent* event)
{
    QFrame::hideEvent(event);
    if (m_anchor)
        m_anchor->setFocus(Qt::PopupFocusReason);
    Q_EMIT closed();
}

}  // namespace nelvo
