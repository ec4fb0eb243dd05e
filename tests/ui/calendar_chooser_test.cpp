#include "ui/calendar_chooser.h"

#include <QTreeWidget>

#include <gtest/gtest.h>

namespace nelvo {
namespace {

TEST(CalendarChooser, ChosenLocationsComeFirstCheckedAndLikelyOnesFollowUnchecked)
{
    CalendarChooser chooser;
    chooser.setLocations({"/cal/work.ics", "/cal/home"}, {"/cal/home", "/found/personal.ics"});
    EXPECT_EQ(chooser.sectionCount(), 1);
    EXPECT_EQ(chooser.chosenLocations(), (std::vector<std::string>{"/cal/work.ics", "/cal/home"}));

    EXPECT_TRUE(chooser.setChecked("/found/personal.ics", true));
    EXPECT_TRUE(chooser.setChecked("/cal/work.ics", false));
    EXPECT_FALSE(chooser.setChecked("/elsewhere.ics", true));
    EXPECT_EQ(chooser.chosenLocations(),
              (std::vector<std::string>{"/cal/home", "/found/personal.ics"}));
    auto* list = chooser.findChild<QTreeWidget*>(QStringLiteral("calendarList"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->topLevelItem(0)->childCount(), 3);
}

TEST(CalendarChooser, FurtherSectionsAddTheirOwnEntriesWithoutDuplicates)
{
    CalendarChooser chooser;
    chooser.setLocations({}, {"/found/a.ics"});
    const int accounts = chooser.addSection(
        QStringLiteral("Accounts"), {{.location = "account:work", .label = QStringLiteral("Work")},
                                     {.location = "account:home", .checked = true}});
    EXPECT_EQ(accounts, 1);
    EXPECT_EQ(chooser.sectionCount(), 2);
    // Adding a location that is listed already checks the listed entry instead.
    chooser.addEntry(accounts, {.location = "/found/a.ics", .checked = true});
    EXPECT_EQ(chooser.chosenLocations(),
              (std::vector<std::string>{"/found/a.ics", "account:home"}));
}

}  // namespace
}  // namespace nelvo
