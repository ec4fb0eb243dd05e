#include "ui/canvas_page.h"
#include "ui/commands.h"
#include "ui/controls/day_slider.h"
#include "ui/controls/settings_button.h"
#include "ui/controls/settings_popover.h"
#include "ui/controls/side_controls.h"
#include "ui/controls/start_day_button.h"
#include "ui/controls/start_day_popover.h"
#include "ui/defaults_keys.h"
#include "ui/main_window.h"
#include "ui/support/ui_setup.h"
#include "ui/tour/tour.h"

#include <QAction>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::UiSetup;

TEST(CanvasPageSide, ControlsInTheToolbarTheirCommandsAndTheFirstTour)
{
    UiSetup s;
    s.returningUser({s.calendarFile()});
    s.defaults->remove(DefaultsKeys::tourCompleted);
    MainWindow window(s.setup());
    window.show();
    CanvasPage* page = window.rootView().canvasPage();
    ASSERT_NE(page, nullptr);
    SideControls& side = page->side();
    // Slider and start day left of the settings button, all in one row.
    const QPoint slider = side.daySlider()->mapTo(page, QPoint());
    const QPoint start = side.startDayButton()->mapTo(page, QPoint());
    const QPoint settings = side.settingsButton()->mapTo(page, QPoint());
    EXPECT_LT(slider.x(), start.x());
    EXPECT_LT(start.x(), settings.x());
    EXPECT_EQ(page->findChild<QWidget*>("tour.days"), side.daySlider());

    // The first canvas starts the tour a moment after it shows; skipping it is kept.
    QTimer* autoStart = side.tour().findChild<QTimer*>();
    ASSERT_NE(autoStart, nullptr);
    EXPECT_FALSE(side.tour().isRunning());
    ASSERT_TRUE(test::fire(autoStart));
    ASSERT_TRUE(side.tour().isRunning());
    side.tour().skip();
    EXPECT_EQ(s.defaults->boolValue(DefaultsKeys::tourCompleted), std::optional<bool>(true));

    window.commands().goToDate->trigger();
    EXPECT_TRUE(side.startDayButton()->popover()->isVisible());
    side.startDayButton()->popover()->close();
    // "Show Me Around" brings it back from the start, completed or not; so does the settings'
    // button.
    window.commands().showTour->trigger();
    EXPECT_EQ(side.tour().step(), TourStep::days);
    side.tour().skip();
    side.settingsButton()->popover()->showMeAround()->click();
    EXPECT_TRUE(side.tour().isRunning());
}

}  // namespace
}  // namespace nelvo
