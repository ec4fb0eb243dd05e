#include "app/availability_model.h"
#include "ui/canvas_page.h"
#include "ui/commands.h"
#include "ui/controls/my_addresses_row.h"
#include "ui/controls/settings_button.h"
#include "ui/controls/settings_popover.h"
#include "ui/controls/side_controls.h"
#include "ui/defaults_keys.h"
#include "ui/main_window.h"
#include "ui/support/ui_setup.h"
#include "ui/tour/tips.h"

#include "support/model_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::UiSetup;

bool planningIsBusy(const AvailabilityModel& model)
{
    const auto& busy = model.busyEvents();
    return std::any_of(busy.begin(), busy.end(),
                       [](const CalendarEvent& e) { return e.eventID == "planning"; });
}

// Ana declined the 10:00 meeting Bo organised; Bo and Cy accepted. Ana also accepted a
// second meeting, so her address answered two invitations.
TEST(MyAddressesRow, AnAddedAddressFreesADeclinedInvitation)
{
    UiSetup s;
    s.returningUser({NELVO_TEST_DATA "/ui/invitations.ics"});
    MainWindow window(s.setup());
    window.show();
    CanvasPage& page = *window.rootView().canvasPage();
    AvailabilityModel& model = page.model();
    // No address known: the invitation's own busy mark counts.
    EXPECT_TRUE(planningIsBusy(model));
    EXPECT_TRUE(model.hasInvitationsWithoutUser());

    // A tip on the events button says so, once; its button opens the settings at the row.
    Tips& tips = page.side().tips();
    window.commands().moreDays->trigger();
    ASSERT_TRUE(test::waitUntil([&] { return tips.isShowing(Tips::Tip::addresses); }));
    QPushButton* openRow = nullptr;
    for (QPushButton* button : window.findChildren<QPushButton*>())
        if (button->isVisible() && button->text() == Tips::addressesAction)
            openRow = button;
    ASSERT_NE(openRow, nullptr);
    QTest::mouseClick(openRow, Qt::LeftButton);
    EXPECT_TRUE(tips.wasShown(Tips::Tip::addresses));
    SettingsPopover* popover = page.side().settingsButton()->popover();
    ASSERT_TRUE(popover->isVisible());
    MyAddressesRow* row = popover->addressesRow();
    ASSERT_NE(row, nullptr);
    ASSERT_TRUE(row->isVisible());
    // Those who answered, most invitations first; one who never answered is not offered.
    EXPECT_EQ(row->suggestions(),
              (std::vector<std::string>{"ana@example.com", "bo@example.com", "cy@example.com"}));

    // Text that is no address is refused with a word, and nothing is stored.
    QTest::keyClicks(row->field(), "ana at example");
    QTest::mouseClick(row->addButton(), Qt::LeftButton);
    EXPECT_FALSE(s.defaults->stringList(DefaultsKeys::calendarAddresses).has_value());
    row->field()->clear();

    QTest::keyClicks(row->field(), "Ana@Example.com");
    QTest::mouseClick(row->addButton(), Qt::LeftButton);
    EXPECT_EQ(s.defaults->stringList(DefaultsKeys::calendarAddresses),
              (std::vector<std::string>{"Ana@Example.com"}));
    EXPECT_FALSE(planningIsBusy(model));
    EXPECT_FALSE(model.hasInvitationsWithoutUser());
    // A known address is no longer suggested, in any case.
    EXPECT_EQ(row->suggestions(), (std::vector<std::string>{"bo@example.com", "cy@example.com"}));

    // Removing it makes the meeting busy again.
    QPushButton* remove = nullptr;
    // The row shows its new buttons once the event loop runs.
    test::waitUntil([&] {
        for (QPushButton* button : row->findChildren<QPushButton*>())
            if (button->isVisible() && button->accessibleName() == "Remove Ana@Example.com")
                remove = button;
        return remove != nullptr;
    });
    ASSERT_NE(remove, nullptr);
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_EQ(s.defaults->stringList(DefaultsKeys::calendarAddresses), std::vector<std::string>{});
    EXPECT_TRUE(planningIsBusy(model));
}

// What the row lists: each address's text, and whether it has a Remove button.
std::vector<std::pair<std::string, bool>> listed(const MyAddressesRow& row)
{
    std::vector<std::pair<std::string, bool>> out;
    for (const QLabel* label : row.findChildren<QLabel*>()) {
        if (!label->isVisibleTo(&row) || !label->text().contains(u'@') ||
            label->text().contains(QStringLiteral("answered")))
            continue;
        bool removable = false;
        for (const QPushButton* button : row.findChildren<QPushButton*>())
            removable = removable || (button->isVisibleTo(&row) &&
                                      button->accessibleName() == "Remove " + label->text());
        out.emplace_back(label->text().toStdString(), removable);
    }
    std::sort(out.begin(), out.end());
    return out;
}

// The desktop accounts' own addresses are the user's without being stored: listed, marked,
// never removable here, never suggested, and following the accounts.
TEST(MyAddressesRow, ListsTheAccountsOwnAddressesWithoutRemove)
{
    test::ModelFixture f;
    f.source->accounts = {"Ana@Example.com"};
    f.source->answered = {{"ana@example.com", 4}, {"bo@example.com", 2}};
    AvailabilityModel& model = f.make();
    MyAddressesRow row(model, *f.defaults);
    row.show();
    using Listed = std::vector<std::pair<std::string, bool>>;
    EXPECT_EQ(listed(row), (Listed{{"Ana@Example.com", false}}));
    EXPECT_EQ(row.suggestions(), std::vector<std::string>{"bo@example.com"});

    // A typed address can be removed; the account's, typed again, is still listed once.
    for (const char* typed : {"cy@example.com", "ana@example.com"}) {
        QTest::keyClicks(row.field(), typed);
        QTest::mouseClick(row.addButton(), Qt::LeftButton);
    }
    ASSERT_TRUE(test::waitUntil([&] { return listed(row).size() == 2; }));
    EXPECT_EQ(listed(row), (Listed{{"Ana@Example.com", false}, {"cy@example.com", true}}));

    // A new account's address reaches the row when the calendars are read again.
    f.source->accounts.push_back("ana@work.example.com");
    f.source->changed();
    ASSERT_TRUE(test::waitUntil([&] { return listed(row).size() == 3; }));
    EXPECT_EQ(listed(row), (Listed{{"Ana@Example.com", false},
                                   {"ana@work.example.com", false},
                                   {"cy@example.com", true}}));
}

}  // namespace
}  // namespace nelvo
