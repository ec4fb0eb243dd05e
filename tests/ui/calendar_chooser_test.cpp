#include "ui/calendar_chooser.h"

#include "kit/core/calendar_info.h"
#include "support/calendar_server.h"
#include "support/scoped_env.h"

#include <QApplication>
#include <QInputDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace nelvo {
namespace {

TEST(CalendarChooser, ListsDesktopCalendarsByAccountThenFilesChosenFirstThenLikelyOnes)
{
    CalendarChooser chooser;
    chooser.setLocations({"/cal/work.ics", "/cal/home"}, {"/cal/home", "/found/personal.ics"});
    EXPECT_EQ(chooser.sectionCount(), 1);
    EXPECT_EQ(chooser.choice().locations, (std::vector<std::string>{"/cal/work.ics", "/cal/home"}));
    chooser.setDesktopCalendars({{"g1", "Team", "Google", "#FF0000", false},
                                 {"g2", "Holidays", "Google", "#00FF00", true},
                                 {"p1", "Personal", "On This Computer", "#0000FF", false}},
                                {"g1"});
    auto* list = chooser.findChild<QTreeWidget*>(QStringLiteral("calendarList"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(chooser.sectionCount(), 3);
    EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("Google"));
    EXPECT_EQ(list->topLevelItem(0)->childCount(), 2);
    EXPECT_EQ(list->topLevelItem(1)->text(0), QStringLiteral("On This Computer"));
    // The chosen files come first, checked; the likely ones follow unchecked.
    EXPECT_EQ(list->topLevelItem(2)->childCount(), 3);
    EXPECT_EQ(list->topLevelItem(2)->child(0)->text(0), QStringLiteral("/cal/work.ics"));

    // Each kind of entry lands in its own list of the choice.
    EXPECT_TRUE(chooser.setChecked("/found/personal.ics", true));
    EXPECT_TRUE(chooser.setChecked("/cal/work.ics", false));
    EXPECT_FALSE(chooser.setChecked("/elsewhere.ics", true));
    EXPECT_TRUE(chooser.setChecked("p1", true));
    EXPECT_EQ(chooser.choice(), (CalendarChoice{.locations = {"/cal/home", "/found/personal.ics"},
                                                .desktopCalendars = {"g1", "p1"}}));
    // The files' heading hides while only desktop calendars are listed.
    CalendarChooser desktopOnly;
    desktopOnly.setDesktopCalendars({{"p1", "Personal", "On This Computer", "#0000FF", false}}, {});
    EXPECT_EQ(desktopOnly.sectionCount(), 1);
}

TEST(CalendarChooser, AddAddressTakesAPastedWebcalLinkAndShowsOnlyItsCalendarAndHost)
{
    const std::string marker = "q7Zsecretmarker";
    test::TestCertificates certificates;
    test::TempFolder cache{"nelvo-cache"};
    test::ScopedEnv trust("SSL_CERT_FILE", certificates.bundle());
    test::ScopedEnv copies("XDG_CACHE_HOME", cache.path().string());
    test::CalendarServer server(&certificates);
    server.serve(marker + ".ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nX-WR-CALNAME:Team\r\n"
                                  "END:VCALENDAR\r\n");
    std::string webcal = server.calendar(marker + ".ics");
    const std::string https = webcal;
    webcal.replace(0, 5, "webcal");

    {
        CalendarChooser chooser;
        QTimer::singleShot(0, [&] {
            auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(input, nullptr);
            input->setTextValue(QString::fromStdString(webcal));
            input->accept();
        });
        chooser.findChild<QPushButton*>(QStringLiteral("addAddress"))->click();

        EXPECT_EQ(chooser.choice().webCalendars, std::vector<std::string>{https});
        auto* list = chooser.findChild<QTreeWidget*>(QStringLiteral("calendarList"));
        QTreeWidgetItem* entry = list->topLevelItem(0)->child(0);
        ASSERT_NE(entry, nullptr);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return entry->text(0) == QStringLiteral("Team (127.0.0.1)"); }, 10'000))
            << entry->text(0).toStdString();
        EXPECT_FALSE(entry->toolTip(0).contains(QString::fromStdString(marker)));
        EXPECT_FALSE(entry->text(0).contains(QString::fromStdString(marker)));
    }

    // Chosen again later, it is listed by the name its saved copy keeps (saved by then).
    CalendarChooser again;
    again.setWebCalendars({https});
    EXPECT_EQ(again.findChild<QTreeWidget*>(QStringLiteral("calendarList"))
                  ->topLevelItem(0)
                  ->child(0)
                  ->text(0),
              QStringLiteral("Team (127.0.0.1)"));
}

}  // namespace
}  // namespace nelvo
