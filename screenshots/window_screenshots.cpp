// The window's own states: the onboarding pages, refused access, the window at start, and a
// calendar that cannot be read.
#include "screenshot.h"

#include "kit/core/calendar_info.h"
#include "ui/calendar_chooser.h"
#include "ui/onboarding_card.h"
#include "ui/onboarding_view.h"

#include <QPushButton>

#include <fstream>

namespace nelvo {

namespace {

QWidget* onboardingAt(ScreenshotContext& context, int page)
{
    MainWindow& window = context.window({.demo = true});
    window.rootView().onboarding()->setPage(page);
    return &window;
}

}  // namespace

NELVO_SCREENSHOT("onboarding-1-welcome")
{
    return onboardingAt(context, 0);
}

NELVO_SCREENSHOT("onboarding-2-privacy")
{
    return onboardingAt(context, 1);
}

NELVO_SCREENSHOT("onboarding-3-access")
{
    return onboardingAt(context, 2);
}

NELVO_SCREENSHOT("onboarding-4-denied")
{
    // A real (not demo) first run whose chooser was cancelled.
    MainWindow& window = context.window({.demo = false});
    OnboardingView& view = *window.rootView().onboarding();
    view.setPage(OnboardingView::lastPage);
    view.card()->actions().front()->click();
    return &window;
}

NELVO_SCREENSHOT("onboarding-5-access-only")
{
    // A returning user whose chosen calendar is gone.
    return &context.window(
        {.demo = false, .onboarded = true, .locations = {"/nonexistent/work.ics"}});
}

NELVO_SCREENSHOT("window-at-start")
{
    return &context.window({.demo = true, .onboarded = true});
}

}  // namespace nelvo

namespace nelvo {

NELVO_SCREENSHOT("calendar-chooser")
{
    MainWindow& window = context.window({.demo = false});
    auto* chooser = new CalendarChooser(&window);
    chooser->setDesktopCalendars(
        {{"g-work", "Work", "Google (ada@example.com)", "#3B82F6", false},
         {"g-holidays", "Holidays", "Google (ada@example.com)", "#10B981", true},
         {"local", "Personal", "On This Computer", "#F97316", false},
         {"birthdays", "Birthdays", "On This Computer", "#EC4899", true}},
        {"g-work", "local"});
    chooser->setLocations({"~/Calendars/team.ics"}, {"~/.calendars/personal"});
    chooser->show();
    ScreenshotContext::settle();
    return chooser;
}

NELVO_SCREENSHOT("calendar-chooser-empty")
{
    MainWindow& window = context.window({.demo = false});
    auto* chooser = new CalendarChooser(&window);
    chooser->show();
    ScreenshotContext::settle();
    return chooser;
}

}  // namespace nelvo

NELVO_SCREENSHOT("window-calendar-notice")
{
    // A returning user with two calendars, one of which has gone: the bar above the canvas
    // names it.
    const std::string work = context.path("work.ics");
    std::ofstream(work) << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//shot//EN\r\n"
                           "END:VCALENDAR\r\n";
    return &context.window(
        {.demo = false, .onboarded = true, .locations = {work, "/nonexistent/home.ics"}});
}

NELVO_SCREENSHOT("window-calendar-read-in-part")
{
    // A calendar read but for a series that repeats too often to expand.
    const std::string work = context.path("work.ics");
    std::ofstream(work) << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//shot//EN\r\n"
                           "BEGIN:VEVENT\r\nUID:e\r\nDTSTART:16010101T000000Z\r\nDURATION:PT30M\r\n"
                           "RRULE:FREQ=DAILY;BYHOUR=9,10,11,12;COUNT=2000000000\r\n"
                           "END:VEVENT\r\nEND:VCALENDAR\r\n";
    return &context.window({.demo = false, .onboarded = true, .locations = {work}});
}
