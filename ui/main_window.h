#pragma once

#include "ui/root_view.h"

#include <QMainWindow>

namespace nelvo {

class Commands;
class SystemZoneWatcher;

// The one window: "Nelvo", its menus, and the root view. Keeps its size and place in the
// defaults, and connects the model to the desktop: coming to the front, a change of the
// machine's zone, and quitting.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(RootView::Setup setup, QWidget* parent = nullptr);
    ~MainWindow() override;

    Commands& commands() const { return *m_commands; }
    RootView& rootView() const { return *m_root; }

    // What happens before the application ends: the window's frame and any settings still
    // waiting for their delayed save are written.
    void prepareToQuit();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void restoreFrame();
    void saveFrame();

    Commands* m_commands;
    RootView* m_root;
    SystemZoneWatcher* m_zoneWatcher;
};

}  // namespace nelvo
