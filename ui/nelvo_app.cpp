#include "ui/nelvo_app.h"

#include "ui/main_window.h"
#include "ui/symbols.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace nelvo::NelvoApp {

namespace {

bool isSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

// What the window was told to use, as "DISPLAY=:1": a display that is named but cannot be
// reached (a session closed, a forwarded connection gone) is not one that is missing.
std::string namedDisplays()
{
    std::string named;
    for (const char* name : {"WAYLAND_DISPLAY", "DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!isSet(name))
            continue;
        named += named.empty() ? "" : ", ";
        named += name;
        named += '=';
        for (const char c : std::string(std::getenv(name)))
            named += c >= 0x20 && c != 0x7F ? c : '?';
    }
    return named;
}

// Qt ends the process with a core dump when the display it was told about cannot be
// reached; say so in one line instead, then Qt's own lines about the failed connection,
// which are held back until the start succeeds.
QtMessageHandler previousHandler = nullptr;
bool startingUp = true;
QStringList heldBack;

void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (startingUp) {
        if (type == QtFatalMsg) {
            std::fprintf(stderr,
                         "nelvo: the window cannot reach the display (%s); \"nelvo print\" "
                         "works without one\n",
                         namedDisplays().c_str());
            for (const QString& line : std::as_const(heldBack))
                std::fprintf(stderr, "%s\n", qPrintable(line));
            std::_Exit(1);
        }
        heldBack.append(qFormatLogMessage(type, context, message));
        return;
    }
    if (previousHandler)
        previousHandler(type, context, message);
}

// A terminating signal (the session ending, Ctrl+C in a terminal) quits like the Quit
// command, so that settings waiting for their delayed save are kept.
int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

void quitOnSignals(QObject* parent)
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, parent);
    QObject::connect(notifier, &QSocketNotifier::activated, parent, [] {
        char byte;
        while (::read(signalPipe[0], &byte, 1) > 0) {
        }
        QApplication::closeAllWindows();
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

// For the start-up benchmark: with NELVO_REPORT_FIRST_PAINT set, prints "painted" on
// standard output once the window has painted its first frame, and quits.
class FirstPaintReporter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            // After this paint reaches the screen.
            QTimer::singleShot(0, this, [] {
                std::printf("painted\n");
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_done = false;
};

}  // namespace

bool hasDisplay()
{
    return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM");
}

int run(int argc, char** argv, bool demo)
{
    if (!hasDisplay()) {
        std::fprintf(stderr, "%s\n", noDisplayMessage);
        return 1;
    }
    previousHandler = qInstallMessageHandler(messageHandler);
    QApplication app(argc, argv);
    startingUp = false;
    for (const QString& line : std::as_const(heldBack))
        std::fprintf(stderr, "%s\n", qPrintable(line));
    heldBack.clear();
    QApplication::setApplicationName(QStringLiteral("Nelvo"));
    QApplication::setApplicationVersion(QStringLiteral(NELVO_VERSION));
    // Matches the desktop file, so that the desktop shows the window under its entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("app.nelvo.Nelvo"));
    QApplication::setWindowIcon(Symbols::appIcon());
    quitOnSignals(&app);

    MainWindow window(RootView::Setup::standard(demo));
    if (isSet("NELVO_REPORT_FIRST_PAINT"))
        app.installEventFilter(new FirstPaintReporter(&window));
    window.show();
    return app.exec();
}

}  // namespace nelvo::NelvoApp

// The window module's entry (NelvoApp::entrySymbol).
extern "C" int nelvo_run_window(int argc, char** argv, bool demo)
{
    return nelvo::NelvoApp::run(argc, argv, demo);
}
