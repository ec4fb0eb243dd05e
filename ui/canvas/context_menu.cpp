#include "ui/canvas/context_menu.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QWidget>

namespace nelvo::ContextMenu {

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
