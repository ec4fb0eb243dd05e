#pragma once

#include <QObject>

class QAction;
class QMenu;
class QMenuBar;
class QUndoStack;

namespace nelvo {

// One action per menu command. The menu, its shortcut and any view that offers the same
// command all trigger the same action; views connect to `triggered`. Owned by the main
// window; the copy, save and share actions stay disabled until a view that performs them
// enables them.
class Commands : public QObject {
    Q_OBJECT
public:
    explicit Commands(QObject* parent = nullptr);
    ~Commands() override;

    // Builds the File, Edit, View and Help menus on `bar`. Undo and Redo come from `undo`.
    void buildMenus(QMenuBar* bar, QUndoStack* undo);

    // The commands that act on the canvas (zoom, days, go to date, preview, the tour) are offered
    // only while it is shown: during onboarding they would do nothing.
    void setCanvasShown(bool shown);

    // The maker's web site; the privacy and support pages lie below it. The one place
    // that names it.
    static constexpr const char* makerSite = "https://nelvo.app";
    static constexpr const char* privacyPath = "/nelvo/privacy";
    static constexpr const char* supportPath = "/nelvo/support";

    // View
    QAction* zoomIn = nullptr;
    QAction* zoomOut = nullptr;
    QAction* zoomReset = nullptr;
    QAction* moreDays = nullptr;
    QAction* fewerDays = nullptr;
    QAction* goToDate = nullptr;
    QAction* showPreview = nullptr;  // checkable: the preview panel is shown
    // Help
    QAction* showTour = nullptr;
    QAction* privacy = nullptr;
    QAction* support = nullptr;
    QAction* about = nullptr;
    // Edit
    QAction* undo = nullptr;  // set by buildMenus
    QAction* redo = nullptr;
    QAction* copyAvailability = nullptr;
    QAction* copyTable = nullptr;
    QAction* copyPicture = nullptr;
    // File
    QAction* chooseCalendars = nullptr;  // disabled in demo mode
    QAction* savePicture = nullptr;
    QAction* saveFile = nullptr;
    QAction* quit = nullptr;
    // Its destinations are added by the share view; empty and disabled until then.
    QMenu* shareMenu = nullptr;

private:
    QAction* make(const QString& text, const char* objectName);
};

}  // namespace nelvo
