#include "ui/main_window.h"

#include "app/availability_model.h"
#include "kit/store/user_defaults.h"
#include "ui/commands.h"
#include "ui/defaults_keys.h"
#include "ui/system_zone_watcher.h"
#include "ui/window_geometry.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>

namespace nelvo {

MainWindow::MainWindow(RootView::Setup setup, QWidget* parent)
    : QMainWindow(parent), m_commands(new Commands(this))
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Nelvo"));
    setMinimumSize(640, 480);
    m_root = new RootView(std::move(setup), *m_commands, this);
    setCentralWidget(m_root);
    m_commands->buildMenus(menuBar(), &m_root->undoStack());
    // Shortcuts work wherever the focus is in the window, with or without the menu bar.
    addActions(m_commands->findChildren<QAction*>());

    connect(m_commands->quit, &QAction::triggered, this, [] {
        // Closing the windows first lets each keep its frame; quitting then saves the rest.
        QApplication::closeAllWindows();
        QCoreApplication::quit();
    });
    connect(m_commands->about, &QAction::triggered, this, [this] {
        QMessageBox::about(this, tr("About Nelvo"),
                           tr("<p><b>Nelvo</b> %1</p><p>Share when you're free.</p>")
                               .arg(QCoreApplication::applicationVersion().toHtmlEscaped()));
    });

    connect(qApp, &QCoreApplication::aboutToQuit, this, &MainWindow::prepareToQuit);
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive)
                    m_root->applicationBecameActive();
            });
    m_zoneWatcher = new SystemZoneWatcher(SystemZoneWatcher::systemFiles(), this);
    connect(m_zoneWatcher, &SystemZoneWatcher::changed, this, [this] {
        if (AvailabilityModel* model = m_root->model())
            model->systemTimeZoneChanged();
    });

    restoreFrame();
}

MainWindow::~MainWindow() = default;

void MainWindow::restoreFrame()
{
    // A new window opens where the pointer is; on a small screen, no larger than it.
    QScreen* here = QGuiApplication::screenAt(QCursor::pos());
    if (!here)
        here = QGuiApplication::primaryScreen();
    const QSize wanted(WindowGeometry::defaultWidth, WindowGeometry::defaultHeight);
    resize(wanted);
    if (here) {
        setScreen(here);
        const QRect area = here->availableGeometry();
        QRect centred(QPoint(), wanted);
        centred.moveCenter(area.center());
        setGeometry(WindowGeometry::fitted(centred, {area}));
    }
    const auto stored = m_root->defaults().data(DefaultsKeys::windowGeometry);
    if (!stored)
        return;
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    const auto frame = WindowGeometry::usable(QString::fromStdString(*stored), screens);
    if (!frame)
        return;
    setGeometry(WindowGeometry::fitted(frame->rect, screens));
    if (frame->maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::saveFrame()
{
    const WindowGeometry::Frame frame{normalGeometry().isValid() ? normalGeometry() : geometry(),
                                      isMaximized()};
    m_root->defaults().setData(DefaultsKeys::windowGeometry,
                               WindowGeometry::encode(frame).toStdString());
}

void MainWindow::prepareToQuit()
{
    m_root->saveNow();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    saveFrame();
    m_root->saveNow();
    QMainWindow::closeEvent(event);
}

}  // namespace nelvo
