#pragma once

#include "ui/canvas/day_column_view.h"
#include "ui/canvas/main_view.h"
#include "ui/canvas/motion.h"

#include "support/model_fixture.h"
#include "ui/support/ui_setup.h"

#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace nelvo::test {

// A canvas over the shared model fixture. `make()` saves `settings`, then builds the model and
// the view at 900 × (52 + 600), so the hours 8 to 18 fit at 59.2 points per hour.
struct CanvasFixture : ModelFixture {
    Settings settings = Settings::initial(zone("America/Los_Angeles"));
    std::unique_ptr<MainView> view;

    CanvasFixture() { Motion::setForcedOff(true); }

    MainView& make(QSize size = {900, 652})
    {
        SettingsStore(defaults).save(settings);
        ModelFixture::make();
        view = std::make_unique<MainView>(*model, *defaults);
        view->resize(size);
        view->show();
        QCoreApplication::processEvents();
        return *view;
    }

    DayColumnView& column(std::size_t index) { return *view->columns().at(index); }
    std::string key(std::size_t index) const { return model->days().at(index).id; }
};

// A press, moves in steps and a release, as a user drags: the pointer travels `by` on the
// screen even when the widget moves under it. `held` runs after each move, before the release.
inline void drag(QWidget* widget, QPoint from, QPoint by, int steps = 4,
                 const std::function<void()>& held = {})
{
    const QPoint origin = widget->mapToGlobal(from);
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, from);
    for (int i = 1; i <= steps; ++i) {
        QTest::mouseMove(widget, widget->mapFromGlobal(origin + by * i / steps));
        if (held)
            held();
    }
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, widget->mapFromGlobal(origin + by));
}

// The first object named `name` in the accessibility tree under `root`, depth first, as a
// screen reader finds it: only what the tree exposes is reachable.
inline QAccessibleInterface* findAccessible(QAccessibleInterface* root, const QString& name)
{
    if (!root)
        return nullptr;
    if (root->text(QAccessible::Name) == name)
        return root;
    for (int i = 0; i < root->childCount(); ++i)
        if (QAccessibleInterface* found = findAccessible(root->child(i), name))
            return found;
    return nullptr;
}

inline QAccessibleInterface* findAccessible(QWidget* window, const QString& name)
{
    return findAccessible(QAccessible::queryAccessibleInterface(window), name);
}

// Opens a menu with `open`, as the user does, and picks the item named `item` in it with the
// keyboard. Whether the menu offered that item enabled; the menu is closed either way.
inline bool chooseFromMenu(const std::function<void()>& open, const QString& item)
{
    bool looked = false;
    bool picked = false;
    // The menu may run a loop of its own: look once it is up, from inside that loop.
    QTimer::singleShot(0, [&] {
        looked = true;
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (qsizetype i = 0; i < menu->actions().size() && !picked; ++i) {
            QTest::keyClick(menu, Qt::Key_Down);
            const QAction* active = menu->activeAction();
            picked = active && active->isEnabled() && active->text() == item;
        }
        QTest::keyClick(menu, picked ? Qt::Key_Return : Qt::Key_Escape);
    });
    open();
    waitUntil([&] { return looked; });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return picked;
}

// The same, the menu opened with a right-click at `at` through `widget`'s window.
inline bool chooseFromContextMenu(QWidget* widget, QPoint at, const QString& item)
{
    return chooseFromMenu(
        [&] {
            QTest::mouseClick(widget->window()->windowHandle(), Qt::RightButton, {},
                              widget->mapTo(widget->window(), at));
        },
        item);
}

}  // namespace nelvo::test
