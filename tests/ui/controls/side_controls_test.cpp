#include "ui/controls/add_zone_popover.h"
#include "ui/controls/day_count_hud.h"
#include "ui/controls/day_slider.h"
#include "ui/controls/free_time_choices.h"
#include "ui/controls/primary_zone_picker.h"
#include "ui/controls/settings_button.h"
#include "ui/controls/settings_popover.h"
#include "ui/controls/side_controls.h"
#include "ui/controls/start_day_button.h"
#include "ui/controls/start_day_popover.h"
#include "ui/controls/zone_search_results.h"
#include "ui/tour/tour.h"

#include "support/model_fixture.h"
#include "ui/support/ui_setup.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <map>

namespace nelvo {
namespace {

using test::ModelFixture;

// Chooses `text` with the keys, as a user does: the first entry, then down until it is current.
void choose(QComboBox* box, const QString& text)
{
    QTest::keyClick(box, Qt::Key_Home);
    for (int i = 0; i < box->count() && box->currentText() != text; ++i)
        QTest::keyClick(box, Qt::Key_Down);
    ASSERT_EQ(box->currentText(), text);
}

TEST(FreeTimeChoices, ValuesOutsideTheListsAreAddedInOrder)
{
    using FreeTimeChoices::Duration;
    EXPECT_EQ(FreeTimeChoices::shortestFreeTime(20),
              (std::vector<Duration>{
                  {15, "15 min"}, {20, "20 min"}, {30, "30 min"}, {45, "45 min"}, {60, "60 min"}}));
    EXPECT_EQ(FreeTimeChoices::shortestFreeTime(30).size(), 4u);
    EXPECT_EQ(FreeTimeChoices::shortestFreeTime(90).back(), (Duration{90, "90 min"}));
    EXPECT_EQ(FreeTimeChoices::shortestFreeTime(5).front(), (Duration{5, "5 min"}));

    const auto notice = FreeTimeChoices::advanceNotice(90);
    ASSERT_EQ(notice.size(), 7u);
    EXPECT_EQ(notice[3], (Duration{90, "90 min"}));
    EXPECT_EQ(notice.back(), (Duration{1440, "Next day"}));
    EXPECT_EQ(FreeTimeChoices::advanceNotice(180)[4], (Duration{180, "3 hours"}));
    EXPECT_EQ(FreeTimeChoices::advanceNotice(150)[4], (Duration{150, "2 h 30 min"}));
    EXPECT_EQ(FreeTimeChoices::advanceNotice(0).size(), 6u);
}

QPoint handleCentre(const QSlider& slider)
{
    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.orientation = slider.orientation();
    option.minimum = slider.minimum();
    option.maximum = slider.maximum();
    option.sliderPosition = slider.sliderPosition();
    option.sliderValue = slider.value();
    return slider.style()
        ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &slider)
        .center();
}

TEST(SideControls, TheSliderHoldsTheDayCountAndTheHUDShowsIt)
{
    ModelFixture f;
    auto& model = f.make();
    QWidget page;
    page.resize(600, 400);
    // A demo page: no tour starts over the controls, none is even scheduled.
    SideControls side(model, *f.defaults, true, &page);
    page.show();
    EXPECT_FALSE(side.tour().findChild<QTimer*>()->isActive());
    DaySlider& slider = *side.daySlider();
    auto* hud = page.findChild<DayCountHUD*>();
    ASSERT_NE(hud, nullptr);
    EXPECT_FALSE(hud->isVisible());
    QTimer* hide = hud->findChild<QTimer*>();
    ASSERT_NE(hide, nullptr);

    // Held: shown with the count, and kept while the handle is down (nothing to hide it).
    QTest::mousePress(&slider, Qt::LeftButton, {}, handleCentre(slider));
    slider.setValue(3);
    EXPECT_EQ(model.settings().dayCount, 3);
    EXPECT_TRUE(hud->isVisible());
    EXPECT_EQ(hud->text(), "3 days");
    EXPECT_FALSE(hud->isHidePending());
    // Let go: gone 0.65 s later.
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, handleCentre(slider));
    EXPECT_TRUE(hud->isHidePending());
    EXPECT_EQ(hide->interval(), DayCountHUD::hideAfterAdjustingMilliseconds);
    EXPECT_TRUE(hud->isVisible());
    ASSERT_TRUE(test::fire(hide));
    EXPECT_FALSE(hud->isVisible());

    // A menu command moves the handle and shows the count, hidden 0.9 s later; a new change
    // restarts the wait.
    model.setDayCount(1);
    EXPECT_EQ(slider.value(), 1);
    EXPECT_TRUE(hud->isVisible());
    EXPECT_EQ(hud->text(), "1 day");
    EXPECT_EQ(hide->interval(), DayCountHUD::hideAfterChangeMilliseconds);
    hide->start(1);  // nearly due
    model.setDayCount(2);
    EXPECT_GT(hide->remainingTime(), DayCountHUD::hideAfterAdjustingMilliseconds);
    EXPECT_TRUE(hud->isVisible());
    ASSERT_TRUE(test::fire(hide));
    EXPECT_FALSE(hud->isVisible());
    // Inside the page, centred.
    EXPECT_EQ(hud->geometry().center().x(), page.rect().center().x());

    // The slider holds the count within 1 to 14, by value and by key.
    slider.setValue(20);
    EXPECT_EQ(model.settings().dayCount, 14);
    QTest::keyClick(&slider, Qt::Key_Right);
    EXPECT_EQ(model.settings().dayCount, 14);
    QTest::keyClick(&slider, Qt::Key_Home);
    EXPECT_EQ(model.settings().dayCount, 1);
    QTest::keyClick(&slider, Qt::Key_Left);
    EXPECT_EQ(model.settings().dayCount, 1);
    // A stored count beyond the range shows at the end, and is not rewritten by showing it.
    Settings wide = model.settings();
    wide.dayCount = 40;
    model.setSettings(wide);
    EXPECT_EQ(slider.value(), 14);
    EXPECT_EQ(model.settings().dayCount, 40);
}

TEST(StartDayButton, PicksAndClearsTheStartDay)
{
    ModelFixture f;
    auto& model = f.make();
    QWidget window;
    StartDayButton button(model, &window);
    window.show();
    EXPECT_EQ(button.text(), "Starts Today");
    EXPECT_EQ(button.accessibleName(), "Starts Today");

    button.openCalendar();  // as "Go to Date…" does
    StartDayPopover* popover = button.popover();
    ASSERT_TRUE(popover->isVisible());
    QCalendarWidget* calendar = popover->calendar();
    EXPECT_EQ(calendar->minimumDate(), QDate(2025, 3, 3));
    EXPECT_EQ(calendar->maximumDate(), QDate(2026, 3, 3));
    EXPECT_EQ(calendar->selectedDate(), QDate(2025, 3, 3));

    // Keyboard only: two days on, Enter.
    QWidget* grid = calendar->focusProxy() ? calendar->focusProxy() : calendar;
    QTest::keyClick(grid, Qt::Key_Right);
    QTest::keyClick(grid, Qt::Key_Right);
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(model.startDayKey(), std::optional<std::string>("2025-03-05"));
    EXPECT_FALSE(popover->isVisible());
    EXPECT_EQ(button.text().toStdString(), "Starts " + model.startDayLabel());

    // Opening again shows the pinned day; "Today", reached with Tab, clears the pin.
    button.openCalendar();
    EXPECT_EQ(calendar->selectedDate(), QDate(2025, 3, 5));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    for (int i = 0; i < 10 && QApplication::focusWidget() != popover->todayButton(); ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), popover->todayButton());
    QTest::keyClick(popover->todayButton(), Qt::Key_Space);
    EXPECT_EQ(model.startDayKey(), std::nullopt);
    EXPECT_EQ(button.text(), "Starts Today");
    EXPECT_FALSE(popover->isVisible());

    // Escape leaves everything as it was.
    button.openCalendar();
    QTest::keyClick(popover, Qt::Key_Escape);
    EXPECT_FALSE(popover->isVisible());
    EXPECT_EQ(model.startDayKey(), std::nullopt);
}

TEST(SettingsPopover, EveryRowChangesTheModel)
{
    ModelFixture f;
    Settings stored = Settings::initial(f.la);
    stored.minimumMinutes = 20;
    f.defaults->setData("settings.v1", stored.toJson());
    auto& model = f.make();
    SettingsButton button(model);
    SettingsPopover* popover = button.popover();

    EXPECT_EQ(popover->shortestFreeTime()->currentText(), "20 min");
    choose(popover->shortestFreeTime(), "45 min");
    EXPECT_EQ(model.settings().minimumMinutes, 45);
    // The stored odd value is gone from the list once another is chosen.
    EXPECT_EQ(popover->shortestFreeTime()->count(), 4);

    EXPECT_EQ(popover->advanceNotice()->currentText(), "1 hour");
    choose(popover->advanceNotice(), "Next day");
    EXPECT_EQ(model.settings().leadTimeMinutes, 1440);

    EXPECT_TRUE(popover->twelveHourClock()->isChecked());
    popover->twelveHourClock()->click();
    EXPECT_TRUE(model.settings().use24Hour);

    EXPECT_TRUE(popover->sounds()->isChecked());
    popover->sounds()->click();
    EXPECT_FALSE(model.settings().soundsEnabled);

    EXPECT_TRUE(popover->skipWeekends()->isChecked());
    popover->skipWeekends()->click();
    EXPECT_FALSE(model.adjustments().exclusions.weekendsOff());
    model.setWeekendsExcluded(true);
    EXPECT_TRUE(popover->skipWeekends()->isChecked());
}

TEST(SettingsPopover, CalendarsInOneSectionPerAccount)
{
    ModelFixture f;
    auto& model = f.make();
    SettingsPopover popover(model);
    const auto boxes = popover.calendarBoxes();
    ASSERT_EQ(boxes.size(), 3);
    EXPECT_EQ(boxes[0]->accessibleName(), "Work");
    EXPECT_TRUE(boxes[0]->isChecked());
    // The subscribed calendar is marked and does not count by default.
    EXPECT_TRUE(boxes[1]->text().contains("Subscribed"));
    EXPECT_FALSE(boxes[1]->isChecked());
    EXPECT_EQ(boxes[2]->accessibleDescription(), "Home");
    QStringList headings;
    for (QLabel* label : popover.findChildren<QLabel*>())
        if (label->text() == "Office" || label->text() == "Home")
            headings << label->text();
    EXPECT_EQ(headings, (QStringList{"Office", "Home"}));

    boxes[2]->click();
    EXPECT_EQ(model.includedCalendars(), (std::set<std::string>{"work"}));
    boxes[1]->click();
    EXPECT_EQ(model.includedCalendars(), (std::set<std::string>{"work", "holidays"}));
    // A new calendar list rebuilds the sections.
    f.source->calendarList.pop_back();
    model.reload();
    EXPECT_EQ(popover.calendarBoxes().size(), 2);

    // The kind is the source's, not words in a title the desktop translates.
    f.source->calendarList = {{"bd", "Geburtstage", "Home", "#F59E0B", true, true},
                              {"feed", "Team birthday feed", "Office", "#10B981", true}};
    model.reload();
    std::map<QString, QString> marked;
    for (QCheckBox* box : popover.calendarBoxes())
        marked[box->accessibleName()] = box->text();
    ASSERT_EQ(marked.size(), 2u);
    EXPECT_TRUE(marked["Geburtstage"].contains("Birthdays")) << marked["Geburtstage"].toStdString();
    EXPECT_TRUE(marked["Team birthday feed"].contains("Subscribed"))
        << marked["Team birthday feed"].toStdString();
}

TEST(PrimaryZonePicker, TheComputerTheRulersAndTheSearch)
{
    ModelFixture f;
    auto& model = f.make();
    model.addZone("Asia/Tokyo");
    PrimaryZonePicker picker(model);
    EXPECT_EQ(picker.itemText(0), PrimaryZonePicker::systemEntryText());
    EXPECT_EQ(picker.findText("Tokyo"), 2);
    EXPECT_EQ(picker.currentIndex(), 0);

    choose(&picker, "Tokyo");
    EXPECT_EQ(model.settings().primaryZoneID, std::optional<std::string>("Asia/Tokyo"));
    EXPECT_EQ(picker.currentText(), "Tokyo");

    // A zone found by the search becomes a ruler and the primary zone.
    picker.zoneSearch()->pick("Europe/Berlin");
    EXPECT_EQ(model.settings().primaryZoneID, std::optional<std::string>("Europe/Berlin"));
    EXPECT_EQ(model.settings().zones.back().id, "Europe/Berlin");
    EXPECT_EQ(picker.currentText(), "Berlin");

    choose(&picker, PrimaryZonePicker::systemEntryText());
    EXPECT_EQ(model.settings().primaryZoneID, std::nullopt);
}

TEST(AddZonePopover, SearchAsYouTypeAndPickWithTheKeyboard)
{
    ModelFixture f;
    auto& model = f.make();
    QWidget window;
    window.show();
    AddZonePopover popover(model, &window);
    QSignalSpy picked(&popover, &AddZonePopover::zonePicked);
    popover.openAt(&window);
    ASSERT_TRUE(popover.isVisible());
    EXPECT_EQ(window.focusWidget(), popover.searchField());

    QTest::keyClicks(popover.searchField(), "ber");
    ZoneSearchResults* results = popover.results();
    ASSERT_GT(results->rowCount(), 2);
    EXPECT_TRUE(results->data(results->index(0)).toString().startsWith("Ber"));

    // Down, Enter: the second result.
    const QString second = results->idAt(1);
    QTest::keyClick(popover.searchField(), Qt::Key_Down);
    QTest::keyClick(popover.searchField(), Qt::Key_Return);
    ASSERT_EQ(picked.count(), 1);
    EXPECT_EQ(picked.at(0).at(0).toString(), second);
    EXPECT_EQ(model.settings().zones.back().id, second.toStdString());
    EXPECT_FALSE(popover.isVisible());

    // Reopened: a fresh search; Enter takes the first result.
    popover.openAt(&window);
    EXPECT_TRUE(popover.searchField()->text().isEmpty());
    QTest::keyClicks(popover.searchField(), "zurich");
    QTest::keyClick(popover.searchField(), Qt::Key_Return);
    EXPECT_EQ(model.settings().zones.back().id, "Europe/Zurich");

    // Nothing found: Enter does nothing; Escape closes without a pick.
    popover.openAt(&window);
    QTest::keyClicks(popover.searchField(), "qqqq");
    EXPECT_EQ(results->rowCount(), 0);
    EXPECT_FALSE(popover.resultsView()->isVisible());
    QTest::keyClick(popover.searchField(), Qt::Key_Return);
    EXPECT_TRUE(popover.isVisible());
    QTest::keyClick(popover.searchField(), Qt::Key_Escape);
    EXPECT_FALSE(popover.isVisible());
    EXPECT_EQ(picked.count(), 2);

    // Offsets are at the model's time, as everything else is: Berlin in its summer.
    f.now = test::at("2025-07-01T12:00:00Z");
    popover.openAt(&window);
    QTest::keyClicks(popover.searchField(), "berlin");
    ASSERT_GT(results->rowCount(), 0);
    EXPECT_EQ(results->idAt(0), "Europe/Berlin");
    EXPECT_EQ(results->data(results->index(0), ZoneSearchResults::OffsetRole).toString(),
              "UTC+2:00");
}

}  // namespace
}  // namespace nelvo
