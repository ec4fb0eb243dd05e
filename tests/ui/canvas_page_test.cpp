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

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::UiSetup;

// A chosen calendar that vanishes while the window is open is named above the canvas, to the
// eye and to a screen reader, and the copy button warns; the bar's button reopens the chooser,
// and the bar goes by itself once the calendar is back.
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
    window.hide();
    EXPECT_FALSE(page.refreshTimer().isActive());
}

}  // namespace
}  // namespace nelvo
