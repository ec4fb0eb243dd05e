#pragma once

#include "kit/store/in_memory_user_defaults.h"
#include "ui/root_view.h"

#include <QTemporaryDir>

class QTimer;

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nelvo::test {

// A window setup that touches none of the user's files: in-memory defaults, the adjustments
// in a fresh temporary folder, the clock at Monday 3 March 2025, 08:00 in New York, and a
// chooser that answers what the test says (cancelled until told otherwise).
struct UiSetup {
    // The defaults of a user who finished onboarding and chose these calendars.
    void returningUser(const std::vector<std::string>& locations);
    // A calendar file in the temporary folder (an empty but valid calendar).
    std::string calendarFile(const std::string& name = "work.ics");

    RootView::Setup setup(bool demo = false) const;

    QTemporaryDir folder;
    std::shared_ptr<InMemoryUserDefaults> defaults = std::make_shared<InMemoryUserDefaults>();
    // What the chooser answers; nothing: cancelled.
    std::shared_ptr<std::optional<CalendarChoice>> chooserAnswer =
        std::make_shared<std::optional<CalendarChoice>>();
    std::shared_ptr<int> chooserOpened = std::make_shared<int>(0);
};

}  // namespace nelvo::test

namespace nelvo::test {

// Runs the event loop until `done` holds or `milliseconds` pass; whether it held.
bool waitUntil(const std::function<bool()>& done, int milliseconds = 3000);

// Runs at once what a running timer runs when it comes due, as if its time had passed, so
// that no test waits on the clock; false when the timer was not running.
bool fire(QTimer* timer);

}  // namespace nelvo::test
