#include "ui/commands.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>
#include <QUrl>

namespace nelvo {

Commands::Commands(QObject* parent) : QObject(parent)
{
    zoomIn = make(tr("Zoom In"), "zoomIn");
    // Ctrl++ needs Shift on most layouts; Ctrl+= is the same key without it.
    zoomIn->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    zoomOut = make(tr("Zoom Out"), "zoomOut");
    zoomOut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    zoomReset = make(tr("Actual Size"), "zoomReset");
    zoomReset->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    moreDays = make(tr("More Days"), "moreDays");
    moreDays->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_BracketRight));
    fewerDays = make(tr("Fewer Days"), "fewerDays");
    fewerDays->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_BracketLeft));
    goToDate = make(tr("Go to Date…"), "goToDate");
    goToDate->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    showPreview = make(tr("Preview"), "showPreview");
    showPreview->setCheckable(true);
    showPreview->setToolTip(tr("Show what Copy Availability will put on the clipboard"));

    showTour = make(tr("Show Me Around"), "showTour");
    privacy = make(tr("Privacy"), "privacy");
    support = make(tr("Support"), "support");
    about = make(tr("About Nelvo"), "about");
    about->setMenuRole(QAction::AboutRole);
    connect(privacy, &QAction::triggered, this, [] {
        QDesktopServices::openUrl(
            QUrl(QString::fromLatin1(makerSite) + QLatin1String(privacyPath)));
    });
    connect(support, &QAction::triggered, this, [] {
        QDesktopServices::openUrl(
            QUrl(QString::fromLatin1(makerSite) + QLatin1String(supportPath)));
    });

    copyAvailability = make(tr("Copy Availability"), "copyAvailability");
    copyAvailability->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    copyTable = make(tr("Copy as Table"), "copyTable");
    copyTable->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::SHIFT | Qt::Key_C));
    // The desktop keeps every combination with the logo key for itself.
    copyPicture = make(tr("Copy as Picture"), "copyPicture");
    copyPicture->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_C));
    savePicture = make(tr("Save Picture…"), "savePicture");
    saveFile = make(tr("Save as File…"), "saveFile");
    saveFile->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    for (QAction* action : {copyAvailability, copyTable, copyPicture, savePicture, saveFile})
        action->setEnabled(false);

    chooseCalendars = make(tr("Choose Calendars…"), "chooseCalendars");

    quit = make(tr("Quit"), "quit");
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setMenuRole(QAction::QuitRole);

    shareMenu = new QMenu(tr("Share"));
    shareMenu->setObjectName(QStringLiteral("shareMenu"));
    shareMenu->setEnabled(false);
}

Commands::~Commands()
{
    delete shareMenu;
}

void Commands::setCanvasShown(bool shown)
{
    for (QAction* action :
         {zoomIn, zoomOut, zoomReset, moreDays, fewerDays, goToDate, showPreview, showTour})
        action->setEnabled(shown);
}

QAction* Commands::make(const QString& text, const char* objectName)
{
    auto* action = new QAction(text, this);
    action->setObjectName(QLatin1String(objectName));
    // Shortcuts work wherever the focus is inside the window, menus open or not.
    action->setShortcutContext(Qt::WindowShortcut);
    return action;
}

void Commands::buildMenus(QMenuBar* bar, QUndoStack* stack)
{
    undo = stack->createUndoAction(this, tr("Undo"));
    undo->setObjectName(QStringLiteral("undo"));
    undo->setShortcuts(QKeySequence::Undo);
    redo = stack->createRedoAction(this, tr("Redo"));
    redo->setObjectName(QStringLiteral("redo"));
    redo->setShortcuts(QKeySequence::Redo);

    QMenu* file = bar->addMenu(tr("&File"));
    file->addAction(chooseCalendars);
    file->addSeparator();
    file->addAction(saveFile);
    file->addAction(savePicture);
    file->addMenu(shareMenu);
    file->addSeparator();
    file->addAction(quit);

    QMenu* edit = bar->addMenu(tr("&Edit"));
    edit->addAction(undo);
    edit->addAction(redo);
    edit->addSeparator();
    edit->addAction(copyAvailability);
    edit->addAction(copyTable);
    edit->addAction(copyPicture);

    QMenu* view = bar->addMenu(tr("&View"));
    view->addAction(zoomIn);
    view->addAction(zoomOut);
    view->addAction(zoomReset);
    view->addSeparator();
    view->addAction(moreDays);
    view->addAction(fewerDays);
    view->addSeparator();
    view->addAction(goToDate);
    view->addSeparator();
    view->addAction(showPreview);

    QMenu* help = bar->addMenu(tr("&Help"));
    help->addAction(showTour);
    help->addSeparator();
    help->addAction(privacy);
    help->addAction(support);
    help->addSeparator();
    help->addAction(about);
}

}  // namespace nelvo
