#include "app/availability_model.h"
#include "kit/store/file_user_defaults.h"
#include "kit/store/settings_store.h"
#include "support/scoped_env.h"
#include "support/ui_setup.h"
#include "ui/canvas_page.h"
#include "ui/commands.h"
#include "ui/controls/settings_popover.h"
#include "ui/defaults_keys.h"
#include "ui/main_window.h"
#include "ui/onboarding_card.h"
#include "ui/onboarding_view.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <filesystem>

namespace nelvo {
namespace {

using test::UiSetup;
using test::waitUntil;

QStringList buttonTexts(const OnboardingView& view)
{
    QStringList texts;
    for (QPushButton* button : view.card()->actions())
        texts.append(button->text());
    return texts;
}

void clickOnly(const OnboardingView& view)
{
    const auto buttons = view.card()->actions();
    ASSERT_EQ(buttons.size(), 1);
    QTest::mouseClick(buttons.front(), Qt::LeftButton);
}

// The items of a menu that can be chosen, the menu opened from the menu bar as a user does.
QStringList choosable(MainWindow& window, const QString& title)
{
    QMenuBar* bar = window.menuBar();
    for (QAction* entry : bar->actions()) {
        if (entry->text() != title)
            continue;
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(entry).center());
        QMenu* menu = entry->menu();
        EXPECT_TRUE(waitUntil([&] { return menu->isVisible(); })) << title.toStdString();
        QStringList items;
        for (QAction* item : menu->actions())
            if (!item->isSeparator() && item->isEnabled())
                items.append(item->text());
        QTest::keyClick(menu, Qt::Key_Escape);
        return items;
    }
    ADD_FAILURE() << "no menu " << title.toStdString();
    return {};
}

TEST(RootView, FirstRunWalksThreePagesThenChoosesCalendars)
{
    UiSetup s;
    const std::string calendar = s.calendarFile();
    MainWindow window(s.setup());
    window.show();
    RootView& root = window.rootView();
    ASSERT_NE(root.onboarding(), nullptr);
    EXPECT_EQ(root.canvasPage(), nullptr);
    EXPECT_EQ(root.model(), nullptr);
    // Nothing to zoom, count or tour yet.
    EXPECT_EQ(choosable(window, "&View"), QStringList{});
    EXPECT_EQ(choosable(window, "&Help"), (QStringList{"Privacy", "Support", "About Nelvo"}));

    const OnboardingView& view = *root.onboarding();
    EXPECT_FALSE(view.isAccessOnly());
    const char* titles[] = {"Share when you're free.", "Only times leave the app.",
                            "Allow calendar access."};
    for (int page = 0; page <= OnboardingView::lastPage; ++page) {
        ASSERT_EQ(view.page(), page);
        EXPECT_EQ(view.card()->title(), QLatin1String(titles[page]));
        EXPECT_EQ(buttonTexts(view), QStringList{page < 2 ? "Continue" : "Allow access"});
        if (page < OnboardingView::lastPage)
            clickOnly(view);
    }

    // Cancelling the chooser is a refusal: the denied text and a way back to the chooser.
    clickOnly(view);
    EXPECT_EQ(*s.chooserOpened, 1);
    EXPECT_EQ(root.access().state(), CalendarAccess::State::denied);
    EXPECT_EQ(view.card()->note(), OnboardingView::deniedText());
    EXPECT_EQ(buttonTexts(view), QStringList{"Open Privacy Settings"});
    EXPECT_FALSE(s.defaults->boolValue(DefaultsKeys::onboardingCompleted).value_or(false));

    *s.chooserAnswer = CalendarChoice{.locations = {calendar}};
    clickOnly(view);
    EXPECT_EQ(*s.chooserOpened, 2);
    ASSERT_TRUE(waitUntil([&] { return root.canvasPage() != nullptr; }));
    EXPECT_EQ(root.onboarding(), nullptr);
    ASSERT_NE(root.model(), nullptr);
    EXPECT_TRUE(s.defaults->boolValue(DefaultsKeys::onboardingCompleted).value_or(false));
    EXPECT_EQ(s.defaults->stringList(DefaultsKeys::calendarLocations),
              std::vector<std::string>{calendar});
    EXPECT_EQ(choosable(window, "&View"),
              (QStringList{"Zoom In", "Zoom Out", "Actual Size", "More Days", "Fewer Days",
                           "Go to Date…", "Preview"}));
    EXPECT_EQ(choosable(window, "&Help").size(), 4);
}

TEST(RootView, VanishedOrMissingCalendarsShowTheAccessPageAlone)
{
    for (const bool vanished : {true, false}) {
        UiSetup s;
        s.returningUser(vanished ? std::vector<std::string>{"/nonexistent/gone.ics"}
                                 : std::vector<std::string>{});
        MainWindow window(s.setup());
        RootView& root = window.rootView();
        ASSERT_NE(root.onboarding(), nullptr);
        EXPECT_EQ(root.canvasPage(), nullptr);
        EXPECT_TRUE(root.onboarding()->isAccessOnly());
        EXPECT_EQ(root.onboarding()->page(), OnboardingView::lastPage);
        EXPECT_EQ(root.onboarding()->card()->note(),
                  vanished ? OnboardingView::deniedText() : QString());
        EXPECT_EQ(buttonTexts(*root.onboarding()),
                  QStringList{vanished ? "Open Privacy Settings" : "Allow access"});
    }
}

// `nelvo calendars add` while the window is open: the window reads the new choice without
// waiting to come to the front.
TEST(RootView, FollowsTheChoiceTheCommandLineWrites)
{
    UiSetup s;
    const std::string first = s.calendarFile("first.ics");
    const std::string second = s.calendarFile("second.ics");
    RootView::Setup setup = s.setup();
    setup.defaultsFile = s.folder.filePath(QStringLiteral("config/defaults.json")).toStdString();
    auto stored = std::make_shared<FileUserDefaults>(setup.defaultsFile);
    stored->setBool(DefaultsKeys::onboardingCompleted, true);
    stored->setBool(DefaultsKeys::tourCompleted, true);
    stored->setStringList(DefaultsKeys::calendarLocations, {first});
    setup.defaults = stored;
    MainWindow window(setup);
    RootView& root = window.rootView();
    ASSERT_EQ(root.model()->calendars().size(), 1u);

    FileUserDefaults(setup.defaultsFile)
        .setStringList(DefaultsKeys::calendarLocations, {first, second});
    EXPECT_TRUE(waitUntil([&] { return root.model()->calendars().size() == 2u; }));
}

TEST(RootView, DemoNeedsNoCalendarAccess)
{
    UiSetup s;
    MainWindow window(s.setup(true));
    window.show();
    RootView& root = window.rootView();
    ASSERT_NE(root.onboarding(), nullptr);
    // Return or Enter presses the page's button.
    OnboardingView& view = *root.onboarding();
    QTest::keyClick(&view, Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return view.page() == 1; }));
    QTest::keyClick(&view, Qt::Key_Enter);
    ASSERT_TRUE(waitUntil([&] { return view.page() == OnboardingView::lastPage; }));
    clickOnly(view);
    ASSERT_TRUE(waitUntil([&] { return root.canvasPage() != nullptr; }));
    EXPECT_EQ(*s.chooserOpened, 0);
    EXPECT_TRUE(root.canvasPage()->isDemo());
    EXPECT_FALSE(window.commands().chooseCalendars->isEnabled()) << "the demo reads its own";
    EXPECT_TRUE(window.findChild<SettingsPopover*>()->chooseCalendars()->isHidden());
    EXPECT_FALSE(root.model()->events().empty());

    // Later launches of the demo open the canvas whatever access says.
    MainWindow again(s.setup(true));
    EXPECT_NE(again.rootView().canvasPage(), nullptr);
}

TEST(RootView, TheDemoKeepsOnlyItsSettingsApart)
{
    // The standard stores, in a private home.
    UiSetup s;
    const test::ScopedEnv config("XDG_CONFIG_HOME",
                                 s.folder.filePath(QStringLiteral("config")).toStdString());
    const auto standard = [&s](bool demo) {
        RootView::Setup setup = RootView::Setup::standard(demo);
        const RootView::Setup test = s.setup(demo);
        setup.adjustmentsPath = test.adjustmentsPath;
        setup.now = test.now;
        setup.zone = test.zone;
        setup.soundOutput = {};
        return setup;
    };
    // A user who finished onboarding opens the demo: no onboarding again.
    standard(false).defaults->setBool(DefaultsKeys::onboardingCompleted, true);
    {
        MainWindow demo(standard(true));
        ASSERT_NE(demo.rootView().canvasPage(), nullptr);
        demo.rootView().model()->setDayCount(9);
        demo.rootView().saveNow();
    }
    // The demo's settings stay the demo's.
    const auto userSettings =
        SettingsStore(standard(false).defaults).load(*TimeZone::named("America/New_York"));
    EXPECT_NE(userSettings.dayCount, 9);
    MainWindow again(standard(true));
    EXPECT_EQ(again.rootView().model()->settings().dayCount, 9);
}

// A returning user: straight to the canvas; day commands, undo and choosing other calendars
// go through the model, losing access is noticed, and a settings change made just before
// quitting is kept.
TEST(RootView, ReturningUserCommandsAccessAndQuitting)
{
    UiSetup s;
    s.returningUser({s.calendarFile("first.ics")});
    MainWindow window(s.setup());
    RootView& root = window.rootView();
    EXPECT_EQ(root.onboarding(), nullptr);
    ASSERT_NE(root.canvasPage(), nullptr);
    ASSERT_NE(root.model(), nullptr);
    EXPECT_EQ(root.model()->zone().id(), "America/New_York");
    EXPECT_EQ(*s.chooserOpened, 0);

    AvailabilityModel& model = *root.model();
    Commands& commands = window.commands();
    const auto before = model.settings().dayCount;
    commands.moreDays->trigger();
    EXPECT_EQ(model.settings().dayCount, before + 1);
    commands.fewerDays->trigger();
    commands.fewerDays->trigger();
    EXPECT_EQ(model.settings().dayCount, std::max<std::int64_t>(1, before - 1));
    EXPECT_FALSE(commands.undo->isEnabled());
    model.setSharedEdge(WindowEdge::start, 10 * 60);
    EXPECT_EQ(commands.undo->text(), "Undo Change Availability");
    commands.undo->trigger();
    EXPECT_EQ(model.settings().window.startMinutes, 9 * 60);
    EXPECT_EQ(commands.redo->text(), "Redo Change Availability");

    // Choosing calendars from the settings, cancelled: nothing changes.
    auto* settings = window.findChild<SettingsPopover*>();
    ASSERT_NE(settings, nullptr);
    ASSERT_FALSE(settings->chooseCalendars()->isHidden());
    settings->chooseCalendars()->click();
    EXPECT_EQ(*s.chooserOpened, 1);
    EXPECT_EQ(root.access().state(), CalendarAccess::State::granted);
    EXPECT_NE(root.canvasPage(), nullptr);
    // From the File menu, another file: it is kept and read.
    const std::string second = s.calendarFile("second.ics");
    *s.chooserAnswer = CalendarChoice{.locations = {second}};
    commands.chooseCalendars->trigger();
    EXPECT_EQ(*s.chooserOpened, 2);
    EXPECT_EQ(s.defaults->stringList(DefaultsKeys::calendarLocations),
              std::vector<std::string>{second});
    ASSERT_EQ(model.calendars().size(), 1u);
    EXPECT_NE(model.calendars().front().id.find("second"), std::string::npos);

    // Access revoked (the file went) is noticed when the window comes to the front.
    std::filesystem::remove(second);
    root.applicationBecameActive();
    ASSERT_TRUE(waitUntil([&] { return root.canvasPage() == nullptr; }));
    ASSERT_NE(root.onboarding(), nullptr);
    EXPECT_EQ(root.onboarding()->card()->note(), OnboardingView::deniedText());
    EXPECT_FALSE(commands.moreDays->isEnabled());
    EXPECT_FALSE(commands.showTour->isEnabled());
    // The file comes back (or the command line chose another): the canvas returns, with the
    // same model.
    s.calendarFile("second.ics");
    root.applicationBecameActive();
    ASSERT_TRUE(waitUntil([&] { return root.canvasPage() != nullptr; }));
    EXPECT_EQ(root.model(), &model);

    Settings changed = model.settings();
    changed.dayCount = 9;
    model.setSettings(changed);
    window.prepareToQuit();
    EXPECT_EQ(SettingsStore(s.defaults).load(TimeZone::utc()).dayCount, 9);
}

}  // namespace
}  // namespace nelvo
