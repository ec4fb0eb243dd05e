#include "ui/share/copy_button.h"

#include "ui/canvas/motion.h"
#include "ui/commands.h"
#include "ui/dark_palette.h"
#include "ui/share/copy_actions.h"
#include "ui/share/preview_panel.h"
#include "ui/share/save_actions.h"
#include "ui/share/share_button.h"

#include "share_fixture.h"
#include "ui/support/ui_setup.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QVariantAnimation>

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::ShareFixture;

// On a dark desktop the symbols are drawn light, as the button's text is; they were drawn
// dark grey on the dark button and could not be seen.
TEST(CopyButton, SymbolsStayVisibleInTheDarkPalette)
{
    ShareFixture f;
    auto& model = f.make();
    const QPalette before = QApplication::palette();
    QApplication::setPalette(darkPalette());
    CopyButton copy(model);
    ShareButton share(model, copy.copyActions());
    for (QToolButton* button :
         {static_cast<QToolButton*>(&copy), static_cast<QToolButton*>(&share)}) {
        // What the button draws: every inked pixel of its symbol is light.
        const QImage image = button->icon()
                                 .pixmap(button->iconSize())
                                 .toImage()
                                 .convertToFormat(QImage::Format_ARGB32);
        int inked = 0;
        int light = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) > 128) {
                    ++inked;
                    light += qGray(image.pixel(x, y)) > 180;
                }
        EXPECT_GT(inked, 0) << button->accessibleName().toStdString();
        EXPECT_EQ(light, inked) << button->accessibleName().toStdString();
    }
    QApplication::setPalette(before);
}

TEST(CopyButton, CopiesAndSaysCopiedForAWhile)
{
    ShareFixture f;
    auto& model = f.make(1, {});
    Motion::setForcedOff(false);
    QApplication::setEffectEnabled(Qt::UI_General, true);
    CopyButton button(model);
    button.resize(button.sizeHint());
    const int restingWidth = button.sizeHint().width();
    QGuiApplication::clipboard()->setText("before");

    // A screen reader's default action copies, and the text springs in.
    QAccessibleInterface* copy = QAccessible::queryAccessibleInterface(&button);
    ASSERT_TRUE(copy && copy->actionInterface());
    EXPECT_EQ(copy->actionInterface()->actionNames().value(0),
              QAccessibleActionInterface::pressAction());
    copy->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), model.chatText());
    EXPECT_EQ(button.text(), "Copied");
    EXPECT_TRUE(button.isShowingCopied());
    EXPECT_EQ(button.textChange()->state(), QAbstractAnimation::Running);
    // The button keeps its width, so the toolbar does not shift.
    EXPECT_EQ(button.sizeHint().width(), restingWidth);

    // A second copy restarts the wait.
    auto timers = button.findChildren<QTimer*>();
    auto reset = std::find_if(timers.begin(), timers.end(), [](QTimer* t) {
        return t->interval() == CopyButton::copiedMilliseconds;
    });
    ASSERT_NE(reset, timers.end());
    EXPECT_TRUE((*reset)->isActive());
    (*reset)->stop();
    button.copyActions().copyPicture();
    EXPECT_TRUE((*reset)->isActive());
    EXPECT_EQ(f.sounds, (std::vector<Sound>{Sound::copy, Sound::copy}));

    ASSERT_TRUE(test::fire(*reset));
    EXPECT_EQ(button.text(), "Copy availability");
    EXPECT_FALSE(button.isShowingCopied());

    // A click copies too; a desktop without animations changes the text at once.
    QApplication::setEffectEnabled(Qt::UI_General, false);
    QApplication::setEffectEnabled(Qt::UI_AnimateMenu, false);
    CopyButton still(model);
    QGuiApplication::clipboard()->setText("before");
    QTest::mouseClick(&still, Qt::LeftButton, {}, QPoint(10, still.height() / 2));
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), model.chatText());
    EXPECT_EQ(still.text(), "Copied");
    EXPECT_NE(still.textChange()->state(), QAbstractAnimation::Running);
    Motion::setForcedOff(true);
}

TEST(CopyButton, LongPressOpensTheMenuWithoutCopying)
{
    ShareFixture f;
    CopyButton button(f.make());
    // The tour and the screen reader find it by these.
    EXPECT_EQ(button.objectName(), "tour.copy");
    EXPECT_EQ(button.accessibleName(), "Copy availability");
    button.resize(button.sizeHint());
    button.show();
    QGuiApplication::clipboard()->setText("before");
    QStringList menuShown;
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, button.height() / 2));
    auto timers = button.findChildren<QTimer*>();
    auto longPress =
        std::find_if(timers.begin(), timers.end(), [](QTimer* t) { return t->isActive(); });
    ASSERT_NE(longPress, timers.end());
    // The menu runs its own loop; look at it from inside, then close it.
    QTimer::singleShot(0, &button, [&] {
        if (button.menu()->isVisible())
            menuShown = test::entries(button.menu());
        button.menu()->close();
    });
    ASSERT_TRUE(test::fire(*longPress));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(10, button.height() / 2));
    EXPECT_EQ(menuShown, (QStringList{"Copy as Table", "Copy as Picture", "-", "Save Picture…",
                                      "Save as File…"}));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
    EXPECT_FALSE(button.isShowingCopied());
}

TEST(CopyButton, RunsTheWindowsCommandsWhileItLives)
{
    ShareFixture f;
    auto& model = f.make(1, {});
    Commands commands;
    EXPECT_FALSE(commands.copyAvailability->isEnabled());
    {
        CopyButton button(model);
        button.useCommands(commands);
        PreviewPanel preview(model);
        preview.show();
        for (QAction* command : {commands.copyAvailability, commands.copyPicture,
                                 commands.savePicture, commands.saveFile})
            EXPECT_TRUE(command->isEnabled()) << command->text().toStdString();
        // The model's zone alone (Los Angeles; the machine's is another): one zone, no table
        // from the menu or the menu bar, though the machine's zone beside it would make two.
        ASSERT_NE(TimeZone::system().id(), model.zone().id());
        EXPECT_FALSE(button.copyTableAction()->isEnabled());
        EXPECT_FALSE(commands.copyTable->isEnabled());
        EXPECT_TRUE(preview.tableText().isEmpty());

        model.addZone(TimeZone::system().id());
        EXPECT_TRUE(commands.copyTable->isEnabled());
        EXPECT_FALSE(preview.tableText().isEmpty());
        button.copyTableAction()->trigger();
        EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->text().contains("| Day |"));
        EXPECT_EQ(button.text(), "Copied");

        commands.copyAvailability->trigger();
        EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), model.chatText());
        commands.copyPicture->trigger();
        EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasFormat("image/png"));
        commands.saveFile->trigger();
        ASSERT_NE(button.saveActions().panel(), nullptr);
        button.saveActions().panel()->close();
        // The tooltip names the command's own shortcut.
        EXPECT_TRUE(button.toolTip().contains(
            commands.copyAvailability->shortcut().toString(QKeySequence::NativeText)));
    }
    EXPECT_FALSE(commands.copyAvailability->isEnabled());
    EXPECT_FALSE(commands.saveFile->isEnabled());
}

}  // namespace
}  // namespace nelvo
