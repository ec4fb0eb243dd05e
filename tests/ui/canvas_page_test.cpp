#include "support/ui_setup.h"
#include "ui/calendar_notice.h"
#include "ui/canvas_page.h"
#include "ui/main_window.h"
#include "ui/share/copy_button.h"

#include <QAccessible>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::UiSetup;

// A chosen calendar that vanishes while the window is open is named above the canvas, to the
// eye and to a screen reader, and the copy button warns; the bar's button reopens the chooser,
// and the bar goes by itself once the calendar is back. The same for a calendar read only in
// part.
TEST(CanvasPage, NamesACalendarThatCannotBeReadUntilItIsBack)
{
    UiSetup s;
    const std::string work = s.calendarFile("work.ics");
    const std::string home = s.calendarFile("home.ics");
    s.returningUser({work, home});
    MainWindow window(s.setup());
    CanvasPage& page = *window.rootView().canvasPage();
    // The day is refreshed every minute, only while the window is shown.
    EXPECT_FALSE(page.refreshTimer().isActive());
    window.show();
    EXPECT_TRUE(page.refreshTimer().isActive());
    EXPECT_EQ(page.refreshTimer().interval(), 60'000);
    CalendarNotice& notice = page.notice();
    auto* copy = page.findChild<CopyButton*>();
    ASSERT_NE(copy, nullptr);
    EXPECT_FALSE(notice.isVisible());
    const QString baseTip = copy->toolTip();

    std::filesystem::rename(home, home + ".moved");
    ASSERT_TRUE(test::waitUntil([&] { return notice.isVisible(); }));
    EXPECT_TRUE(notice.text().contains(QString::fromStdString(home)));
    EXPECT_TRUE(notice.text().contains(QStringLiteral("no such file or folder")));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&notice)->text(QAccessible::Name),
              notice.text());
    EXPECT_TRUE(copy->toolTip().contains(QStringLiteral("could not be read")));
    QTest::mouseClick(notice.findChild<QPushButton*>(), Qt::LeftButton);
    EXPECT_EQ(*s.chooserOpened, 1);

    std::filesystem::rename(home + ".moved", home);
    window.rootView().applicationBecameActive();
    EXPECT_TRUE(test::waitUntil([&] { return !notice.isVisible(); }));
    EXPECT_EQ(copy->toolTip(), baseTip);

    // A calendar read but for a series that repeats too often to expand is named too.
    const std::string calendar = [&] {
        std::ifstream in(home);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    std::ofstream(home)
        << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:e\r\n"
           "DTSTART:16010101T000000Z\r\nDURATION:PT30M\r\n"
           "RRULE:FREQ=DAILY;BYHOUR=9,10,11,12;COUNT=2000000000\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    window.rootView().applicationBecameActive();
    ASSERT_TRUE(test::waitUntil([&] { return notice.isVisible(); }));
    EXPECT_TRUE(notice.text().contains(QString::fromStdString(home)));
    EXPECT_TRUE(notice.text().endsWith(QStringLiteral("Busy time may be shown as free.")));
    EXPECT_TRUE(copy->toolTip().contains(QStringLiteral("could not be read")));
    std::ofstream(home) << calendar;
    window.rootView().applicationBecameActive();
    EXPECT_TRUE(test::waitUntil([&] { return !notice.isVisible(); }));
    window.hide();
    EXPECT_FALSE(page.refreshTimer().isActive());
}

}  // namespace
}  // namespace nelvo
