#include "ui_setup.h"

#include "ui/defaults_keys.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <fstream>

namespace nelvo::test {

void UiSetup::returningUser(const std::vector<std::string>& locations)
{
    defaults->setBool(DefaultsKeys::onboardingCompleted, true);
    defaults->setBool(DefaultsKeys::tourCompleted, true);
    defaults->setStringList(DefaultsKeys::calendarLocations, locations);
}

std::string UiSetup::calendarFile(const std::string& name)
{
    const std::string path = folder.filePath(QString::fromStdString(name)).toStdString();
    std::ofstream(path) << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n"
                           "END:VCALENDAR\r\n";
    return path;
}

RootView::Setup UiSetup::setup(bool demo) const
{
    RootView::Setup result;
    result.demo = demo;
    result.defaults = defaults;
    result.adjustmentsPath = folder.filePath(QStringLiteral("adjustments.json")).toStdString();
    result.now = [] { return *Date::fromIso8601("2025-03-03T08:00:00-05:00"); };
    result.zone = [] { return *TimeZone::named("America/New_York"); };
    result.chooser = [answer = chooserAnswer, opened = chooserOpened] {
        ++*opened;
        return *answer;
    };
    return result;
}

}  // namespace nelvo::test

namespace nelvo::test {

bool waitUntil(const std::function<bool()>& done, int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

bool fire(QTimer* timer)
{
    if (!timer || !timer->isActive())
        return false;
    if (timer->isSingleShot())
        timer->stop();
    return QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
}

}  // namespace nelvo::test
