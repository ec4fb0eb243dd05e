#include "support/golden.h"
#include "support/ui_setup.h"
#include "ui/canvas_page.h"
#include "ui/commands.h"
#include "ui/controls/settings_button.h"
#include "ui/controls/settings_popover.h"
#include "ui/controls/side_controls.h"
#include "ui/defaults_keys.h"
#include "ui/main_window.h"
#include "ui/window_geometry.h"

#include <QAction>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace nelvo {
namespace {

using test::UiSetup;

TEST(MainWindow, KeepsItsFrameAcrossLaunchesUnlessOffScreen)
{
    UiSetup s;
    s.returningUser({s.calendarFile()});
    {
        MainWindow window(s.setup());
        window.setGeometry(60, 50, 900, 650);
        window.close();
    }
    {
        MainWindow window(s.setup());
        EXPECT_EQ(window.geometry(), QRect(60, 50, 900, 650));
    }
    s.defaults->setData(DefaultsKeys::windowGeometry, "-90000 -90000 900 650");
    MainWindow window(s.setup());
    EXPECT_EQ(window.size(), QSize(1040, 720));
    const WindowGeometry::Frame frame{QRect(100, 80, 1200, 800), true};
    EXPECT_EQ(WindowGeometry::decode(WindowGeometry::encode(frame)), frame);
    for (const char* bad : {"", "1 2 3", "1 2 0 5", "a b c d", "1 2 3 4 minimised", "1 2 -3 4"})
        EXPECT_EQ(WindowGeometry::decode(QLatin1String(bad)), std::nullopt) << bad;

    const QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    EXPECT_TRUE(WindowGeometry::usable(QStringLiteral("2000 100 800 600"), screens));
    // Mostly beyond the right edge, but a usable corner still shows.
    EXPECT_TRUE(WindowGeometry::usable(QStringLiteral("3000 900 800 600"), screens));
    EXPECT_FALSE(WindowGeometry::usable(QStringLiteral("3190 100 800 600"), screens));
    EXPECT_FALSE(WindowGeometry::usable(QStringLiteral("0 0 1040 720"), {}));

    // A frame kept from a larger screen shrinks to the one it shows most on.
    EXPECT_EQ(WindowGeometry::fitted(QRect(2500, 300, 1600, 1000), screens),
              QRect(1920, 24, 1280, 1000));
    EXPECT_EQ(WindowGeometry::fitted(QRect(-40, 900, 800, 600), screens), QRect(0, 480, 800, 600));
}

TEST(MainWindow, OnASmallScreenFitsItAndKeepsTheSettingsOnIt)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    ASSERT_EQ(screens.size(), 2) << "the test main sets up a desk and a laptop screen";
    QScreen* laptop = screens[1];
    ASSERT_EQ(laptop->availableGeometry().size(), QSize(1024, 700));
    QCursor::setPos(laptop->geometry().center());
    const auto back = qScopeGuard([&] { QCursor::setPos(screens[0]->geometry().center()); });

    UiSetup s;
    s.returningUser({s.calendarFile()});
    MainWindow window(s.setup());
    window.show();
    EXPECT_EQ(window.screen(), laptop);
    EXPECT_LE(window.width(), 1024);
    EXPECT_LE(window.height(), 700);

    SettingsButton* gear = window.rootView().canvasPage()->side().settingsButton();
    const QRect shown = window.rect();
    EXPECT_TRUE(shown.contains(QRect(gear->mapTo(&window, QPoint()), gear->size())));
    QTest::mouseClick(gear, Qt::LeftButton);
    ASSERT_TRUE(gear->popover()->isVisible());
    EXPECT_TRUE(shown.contains(gear->popover()->geometry()))
        << gear->popover()->geometry().height() << " tall in " << shown.height();
}

TEST(MainWindow, MenusOfferEveryCommandWithItsShortcut)
{
    UiSetup s;
    MainWindow window(s.setup());
    QStringList menus;
    std::map<std::string, std::string> shortcuts;
    for (QAction* menu : window.menuBar()->actions()) {
        menus.append(menu->text());
        for (QAction* item : menu->menu()->actions()) {
            if (!item->isSeparator())
                shortcuts[item->text().toStdString()] =
                    item->shortcut().toString(QKeySequence::PortableText).toStdString();
        }
    }
    EXPECT_EQ(menus, (QStringList{"&File", "&Edit", "&View", "&Help"}));
    // Redo is the desktop's own combination.
    EXPECT_EQ(window.commands().redo->shortcuts(), QKeySequence::keyBindings(QKeySequence::Redo));
    shortcuts.erase("Redo");
    std::string listed;
    for (const auto& [text, keys] : shortcuts)
        listed += text + (keys.empty() ? "" : "=" + keys) + "\n";
    EXPECT_GOLDEN("ui/menu_items.txt", listed);

    // Nothing on the desktop's own logo key.
    for (QAction* action : window.commands().findChildren<QAction*>()) {
        for (const QKeySequence& sequence : action->shortcuts())
            EXPECT_FALSE(sequence[0].keyboardModifiers() & Qt::MetaModifier)
                << action->text().toStdString();
    }
    // Copying, saving and sharing wait for the views that perform them.
    const Commands& commands = window.commands();
    for (QAction* action : {commands.copyAvailability, commands.copyTable, commands.copyPicture,
                            commands.savePicture, commands.saveFile})
        EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
    EXPECT_FALSE(commands.shareMenu->isEnabled());
}

}  // namespace
}  // namespace nelvo
