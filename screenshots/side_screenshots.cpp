// The side controls' states: the settings with two accounts' calendars, the start-day
// calendar, the zone search, the floating day count and a tour callout.
#include "screenshot.h"

#include "app/availability_model.h"
#include "app/event_source.h"
#include "kit/store/adjustments_store.h"
#include "kit/store/settings_store.h"
#include "ui/canvas_page.h"
#include "ui/commands.h"
#include "ui/controls/add_zone_popover.h"
#include "ui/controls/my_addresses_row.h"
#include "ui/controls/settings_button.h"
#include "ui/controls/settings_popover.h"
#include "ui/controls/side_controls.h"
#include "ui/controls/start_day_button.h"
#include "ui/controls/start_day_popover.h"
#include "ui/dark_palette.h"
#include "ui/defaults_keys.h"
#include "ui/tour/tips.h"
#include "ui/tour/tour.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include <fstream>

namespace nelvo {

namespace {

// Calendars of two accounts, one of them subscribed.
class TwoAccounts : public EventSource {
public:
    bool hasAccess() const override { return true; }
    std::vector<CalendarInfo> calendars() override
    {
        return {{"work", "Work", "ana@example.org", "#3B82F6", false},
                {"team", "Team Offsite", "ana@example.org", "#8B5CF6", false},
                {"holidays", "US Holidays", "ana@example.org", "#10B981", true},
                {"home", "Family", "On this computer", "#F97316", false},
                {"birthdays", "Birthdays", "On this computer", "#EC4899", true}};
    }
    std::vector<CalendarEvent> events(Date, Date) override { return {}; }
    void observeChanges(std::function<void()>) override {}
    std::vector<std::string> accountAddresses() const override { return {"ana@example.org"}; }
};

CanvasPage& page(MainWindow& window)
{
    return *window.rootView().canvasPage();
}

}  // namespace

NELVO_SCREENSHOT("side-settings-two-accounts")
{
    MainWindow& window = context.window({.demo = true, .onboarded = true});
    auto* model = new AvailabilityModel(
        std::make_shared<TwoAccounts>(), std::make_shared<SettingsStore>(context.defaults),
        std::make_shared<AdjustmentsStore>(context.path("two-accounts.json")),
        [] { return *Date::fromIso8601("2025-03-03T08:00:00-05:00"); },
        [] { return *TimeZone::named("America/New_York"); }, &window);
    model->addZone("Europe/Berlin");
    auto* popover = new SettingsPopover(*model, &window);
    popover->chooseCalendars()->show();  // as outside the demo
    // The user's addresses as outside the demo: the account's own first, then one stored.
    context.defaults->setStringList(DefaultsKeys::calendarAddresses, {"ana.lopez@example.com"});
    popover->setAddressesRow(new MyAddressesRow(*model, *context.defaults));
    popover->openAt(page(window).side().settingsButton());
    return &window;
}

// A returning user's window (not the demo, where tips are hidden) with the add-zone tip, in
// the light and the dark palette and on a laptop's screen.
MainWindow& addZoneTip(ScreenshotContext& context, bool dark, QSize size = {})
{
    const std::string calendar = context.path("work.ics");
    std::ofstream(calendar) << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//shots//EN\r\n"
                               "END:VCALENDAR\r\n";
    MainWindow& window =
        context.window({.demo = false, .onboarded = true, .locations = {calendar}});
    if (dark)
        QApplication::setPalette(darkPalette());
    if (!size.isEmpty())
        window.resize(size);
    // As a second after the canvas first shows, once the tour did not start.
    page(window).side().tips().offer();
    ScreenshotContext::settle();
    return window;
}

NELVO_SCREENSHOT("side-tip-add-zone")
{
    return &addZoneTip(context, false);
}

NELVO_SCREENSHOT("side-tip-add-zone-dark")
{
    return &addZoneTip(context, true);
}

NELVO_SCREENSHOT("side-tip-add-zone-laptop")
{
    return &addZoneTip(context, false, {1024, 700});
}

NELVO_SCREENSHOT("side-start-day")
{
    MainWindow& window = context.window({.demo = true, .onboarded = true});
    window.commands().goToDate->trigger();
    return &window;
}

NELVO_SCREENSHOT("side-zone-search-ber")
{
    MainWindow& window = context.window({.demo = true, .onboarded = true});
    auto* popover = new AddZonePopover(page(window).model(), &window);
    popover->openAt(page(window).side().settingsButton());
    popover->searchField()->setText(QStringLiteral("ber"));
    return &window;
}

NELVO_SCREENSHOT("side-day-count")
{
    MainWindow& window = context.window({.demo = true, .onboarded = true});
    for (int i = 0; i < 4; ++i)
        window.commands().moreDays->trigger();
    // Past the count's roll.
    ScreenshotContext::settle(300);
    return &window;
}

NELVO_SCREENSHOT("side-tour-days")
{
    MainWindow& window = context.window({.demo = true, .onboarded = true});
    window.commands().showTour->trigger();
    return &window;
}

}  // namespace nelvo
