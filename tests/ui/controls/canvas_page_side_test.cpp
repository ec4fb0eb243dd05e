#include "ui/canvas_page.h"
#include "ui/commands.h"
#include "ui/controls/day_slider.h"
#include "ui/controls/settings_button.h"
#include "ui/controls/side_controls.h"
#include "ui/controls/start_day_button.h"
#include "ui/controls/start_day_popover.h"
#include "ui/defaults_keys.h"
#include "ui/main_window.h"
#include "ui/support/ui_setup.h"
#include "ui/tour/tour.h"

#include <QAction>

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::UiSetup;
using test::waitUntil;

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

    // The first canvas starts the tour; skipping it is kept.
    EXPECT_TRUE(waitUntil([&] { return side.tour().isRunning(); }, 2000));
    side.tour().skip();
    EXPECT_EQ(s.defaults->boolValue(DefaultsKeys::tourCompleted), std::optional<bool>(true));

    window.commands().goToDate->trigger();
    EXPECT_TRUE(side.startDayButton()->popover()->isVisible());
    side.startDayButton()->popover()->close();
    window.commands().showTour->trigger();
    EXPECT_EQ(side.tour().step(), TourStep::days);
}

}  // namespace
}  // namespace nelvo
