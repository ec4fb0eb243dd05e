#include "support/ui_setup.h"
#include "ui/canvas_page.h"
#include "ui/main_window.h"
#include "ui/onboarding_view.h"

#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::UiSetup;

TEST(CanvasPage, RefreshesTheDayEveryMinuteOnlyWhileShown)
{
    UiSetup s;
    s.returningUser({s.calendarFile()});
    MainWindow window(s.setup());
    CanvasPage& page = *window.rootView().canvasPage();
    EXPECT_FALSE(page.refreshTimer().isActive());
    window.show();
    EXPECT_TRUE(page.refreshTimer().isActive());
    EXPECT_EQ(page.refreshTimer().interval(), 60'000);
    window.hide();
    EXPECT_FALSE(page.refreshTimer().isActive());
}

TEST(OnboardingView, ReturnPressesThePageButton)
{
    UiSetup s;
    MainWindow window(s.setup(true));
    window.show();
    OnboardingView& view = *window.rootView().onboarding();
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_TRUE(test::waitUntil([&] { return view.page() == 1; }));
    QTest::keyClick(&view, Qt::Key_Enter);
    EXPECT_TRUE(test::waitUntil([&] { return view.page() == 2; }));
}

}  // namespace
}  // namespace nelvo
