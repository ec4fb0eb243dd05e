#include "ui/canvas/context_menu.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QWidget>

namespace nelvo::ContextMenu {

namespace {

class KeyboardTrigger : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        QWidget* focus = QApplication::focusWidget();
        if (key->key() != Qt::Key_F10 || key->modifiers() != Qt::ShiftModifier || !focus ||
            watched != focus)
            return false;
        const QPoint at = focus->rect().center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, focus->mapToGlobal(at));
        QApplication::sendEvent(focus, &menu);
        return true;
    }
};

}  // namespace

void installKeyboardTrigger()
{
    static KeyboardTrigger* trigger = nullptr;
    if (trigger || !qApp)
        return;
    trigger = new KeyboardTrigger(qApp);
    qApp->installEventFilter(trigger);
}

QMenu* make(QWidget* view)
{
    auto* menu = new QMenu(view->window());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    return menu;
}

void open(QMenu* menu, QWidget* view, const QContextMenuEvent& event, QPoint keyboardAt)
{
    const QPoint at = event.reason() == QContextMenuEvent::Mouse ? event.globalPos()
                                                                 : view->mapToGlobal(keyboardAt);
    menu->popup(at);
}

}  // namespace nelvo::ContextMenu
