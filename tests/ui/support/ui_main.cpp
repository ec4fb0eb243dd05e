// The test main of the window layer: one QApplication (offscreen unless told otherwise) for
// widgets, timers and painting, created before any test runs.
#include "app/module.h"
#include "app/web_calendar_source.h"

#include <QApplication>
#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <cstdlib>

// The calendar addresses' module, linked into this program.
extern "C" nelvo::WebCalendarSource* nelvo_make_web_calendars();

int main(int argc, char** argv)
{
    // Two screens: a desk monitor, the primary, and a small laptop panel beside it, on which
    // tests open windows by putting the pointer there.
    QTemporaryFile screens;
    if (!std::getenv("QT_QPA_PLATFORM") && screens.open()) {
        screens.write(R"({"screens": [
            {"name": "desk", "x": 0, "y": 0, "width": 1920, "height": 1080},
            {"name": "laptop", "x": 1920, "y": 0, "width": 1024, "height": 700}]})");
        screens.flush();
        const QByteArray platform = "offscreen:configfile=" + screens.fileName().toLocal8Bit();
        setenv("QT_QPA_PLATFORM", platform.constData(), 1);
    }
    nelvo::Module::provide(nelvo::WebCalendarSource::factorySymbol,
                           reinterpret_cast<void*>(&nelvo_make_web_calendars));
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
