#include "ui/controls/popover.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace nelvo {

Popover::Popover(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setObjectName(QStringLiteral("popover"));
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral("nelvo--Popover { border: 1px solid palette(mid); "
                                 "border-radius: 8px; background: palette(window); }"));
    hide();
}

void Popover::openAt(QWidget* anchor)
{
    m_anchor = anchor;
    QWidget* window =
        anchor ? anchor->window() : (parentWidget() ? parentWidget()->window() : nullptr);
    if (window && parentWidget() != window)
        setParent(window);
    fitToContents();
    place();
    show();
    raise();
    // The keyboard goes with the popover: to the control its subclass chose, else the first.
    if (!isAncestorOf(QApplication::focusWidget())) {
        QWidget* candidate = this;
        for (int steps = 0; steps < 1000; ++steps) {
            candidate = candidate->nextInFocusChain();
            if (candidate == this)
                break;
            if (isAncestorOf(candidate) && candidate->isVisibleTo(this) && candidate->isEnabled() &&
                (candidate->focusPolicy() & Qt::TabFocus) && !candidate->focusProxy()) {
                candidate->setFocus(Qt::OtherFocusReason);
                break;
            }
        }
    }
}

void Popover::fitToContents()
{
    adjustSize();
    // A size hint leaves out wrapped text's extra lines; ask for the real height.
    if (hasHeightForWidth()) {
        const int needed = heightForWidth(width());
        if (needed > height())
            resize(width(), needed);
    }
}

void Popover::place()
{
    const QWidget* window = parentWidget();
    if (!window)
        return;
    const int gap = 4;
    QPoint at;
    if (m_anchor) {
        const QPoint top = m_anchor->mapTo(window, QPoint(0, 0));
        at = QPoint(top.x() + m_anchor->width() / 2 - width() / 2,
                    top.y() + m_anchor->height() + gap);
        if (at.y() + height() > window->height() && top.y() - gap - height() >= 0)
            at.setY(top.y() - gap - height());
    } else {
        at = QPoint((window->width() - width()) / 2, (window->height() - height()) / 3);
    }
    const int margin = 6;
    at.setX(std::clamp(at.x(), margin, std::max(margin, window->width() - width() - margin)));
    at.setY(std::clamp(at.y(), 0, std::max(0, window->height() - height())));
    move(at);
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
    qApp->installEventFilter(this);
    Q_EMIT opened();
}

void Popover::hideEvent(QHideEvent* event)
{
    QFrame::hideEvent(event);
    qApp->removeEventFilter(this);
    if (m_anchor && (!QApplication::focusWidget() || isAncestorOf(QApplication::focusWidget())))
        m_anchor->setFocus(Qt::OtherFocusReason);
    Q_EMIT closed();
}

bool Popover::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        // Lists that a combo box of ours drops down live in popup windows of their own.
        const bool inPopup = widget->window()->windowType() == Qt::Popup;
        if (widget != this && !isAncestorOf(widget) && !inPopup && widget->window() == window())
            close();
    }
    return QFrame::eventFilter(watched, event);
}

bool Popover::focusNextPrevChild(bool next)
{
    QWidget* from = QApplication::focusWidget();
    if (!from || !isAncestorOf(from))
        return QFrame::focusNextPrevChild(next);
    QWidget* candidate = from;
    for (int steps = 0; steps < 1000; ++steps) {
        candidate = next ? candidate->nextInFocusChain() : candidate->previousInFocusChain();
        if (candidate == from)
            break;
        if (isAncestorOf(candidate) && candidate->isVisibleTo(this) && candidate->isEnabled() &&
            (candidate->focusPolicy() & Qt::TabFocus) && !candidate->focusProxy()) {
            candidate->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return true;
}

}  // namespace nelvo
