#pragma once

#include <QPoint>

class QContextMenuEvent;
class QMenu;
class QWidget;

namespace nelvo {

// Context menus of the canvas's views. A view that the model rebuilds can be deleted by the
// menu's own action, so the menu never belongs to the view: it belongs to the view's window,
// opens without a loop of its own and deletes itself once closed.
namespace ContextMenu {

// An empty menu for `view`, owned by its window.
QMenu* make(QWidget* view);

// Opens `menu` where `event` asks: at the pointer, or, from the keyboard, at `keyboardAt`
// in the view's coordinates.
void open(QMenu* menu, QWidget* view, const QContextMenuEvent& event, QPoint keyboardAt);

// Makes Shift+F10 open the focused control's context menu, as the Menu key does, in every
// window of the application. Once per process; later calls do nothing.
void installKeyboardTrigger();

}  // namespace ContextMenu

}  // namespace nelvo
