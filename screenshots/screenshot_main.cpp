// Renders the registered window states offscreen to PNG files:
//   nelvo_screenshots [--out FOLDER] [NAME-PREFIX...]
#include "screenshot.h"

#include "ui/defaults_keys.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace nelvo {

std::vector<Screenshot>& screenshots()
{
    static std::vector<Screenshot> all;
    return all;
}

ScreenshotRegistration::ScreenshotRegistration(std::string name, ScreenshotFunction render)
{
    screenshots().push_back({std::move(name), std::move(render)});
}

ScreenshotContext::ScreenshotContext() = default;

ScreenshotContext::~ScreenshotContext()
{
    m_window.reset();
    settle(0);
}

std::string ScreenshotContext::path(const std::string& name) const
{
    return m_folder.filePath(QString::fromStdString(name)).toStdString();
}

RootView::Setup ScreenshotContext::setup(const Options& options)
{
    if (options.onboarded) {
        defaults->setBool(DefaultsKeys::onboardingCompleted, true);
        defaults->setBool(DefaultsKeys::tourCompleted, true);
    }
    if (!options.locations.empty())
        defaults->setStringList(DefaultsKeys::calendarLocations, options.locations);
    RootView::Setup setup;
    setup.demo = options.demo;
    setup.defaults = defaults;
    setup.adjustmentsPath = path("adjustments.json");
    setup.now = [] { return *Date::fromIso8601("2025-03-03T08:00:00-05:00"); };
    setup.zone = [] { return *TimeZone::named("America/New_York"); };
    setup.chooser = [answer = options.chooserAnswer] { return answer; };
    return setup;
}

MainWindow& ScreenshotContext::window(const Options& options)
{
    m_window = std::make_unique<MainWindow>(setup(options));
    m_window->show();
    settle();
    return *m_window;
}

void ScreenshotContext::settle(int milliseconds)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace nelvo

int main(int argc, char** argv)
{
    using namespace nelvo;
    // The same picture on every machine: no desktop theme, one zone, one font.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("TZ", "America/New_York", 1);
    setenv("LANG", "C.UTF-8", 1);
    unsetenv("QT_QPA_PLATFORMTHEME");
    unsetenv("QT_STYLE_OVERRIDE");
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(QApplication::style()->standardPalette());
    if (!QFontDatabase::families().contains(QStringLiteral("DejaVu Sans")))
        std::fprintf(stderr, "screenshots: the DejaVu fonts are missing (fonts-dejavu-core); "
                             "pictures will differ from machine to machine\n");
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 10));

    QString out = QStringLiteral("build/screenshots");
    QStringList prefixes;
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--out") && i + 1 < arguments.size())
            out = arguments[++i];
        else
            prefixes.append(arguments[i]);
    }
    if (!QDir().mkpath(out)) {
        std::fprintf(stderr, "screenshots: cannot create \"%s\"\n", qPrintable(out));
        return 1;
    }

    auto all = screenshots();
    std::sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    int failures = 0;
    for (const Screenshot& shot : all) {
        const QString name = QString::fromStdString(shot.name);
        if (!prefixes.isEmpty() &&
            std::none_of(prefixes.begin(), prefixes.end(),
                         [&](const QString& p) { return name.startsWith(p); }))
            continue;
        // Each state starts in the light palette; a dark one sets its own.
        QApplication::setPalette(QApplication::style()->standardPalette());
        ScreenshotContext context;
        QWidget* widget = shot.render(context);
        ScreenshotContext::settle();
        const QString file = QDir(out).filePath(name + QStringLiteral(".png"));
        if (!widget || !widget->grab().save(file)) {
            std::fprintf(stderr, "screenshots: %s failed\n", qPrintable(name));
            ++failures;
            continue;
        }
        std::printf("%s\n", qPrintable(file));
    }
    return failures == 0 ? 0 : 1;
}
