#pragma once

#include "app/calendar_access.h"
#include "app/sound/sound_player.h"
#include "kit/core/date.h"
#include "kit/core/time_zone.h"

#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>

class QStackedLayout;
class QUndoStack;

namespace nelvo {

class AvailabilityModel;
class CanvasPage;
class Commands;
class OnboardingView;
class UserDefaults;

// The window's content: onboarding until the user has finished it and calendars may be read,
// then the canvas page. Owns the calendar access, the one AvailabilityModel (built when the
// canvas is first shown), the user defaults of the window's own keys and the undo stack.
class RootView : public QWidget {
    Q_OBJECT
public:
    // What differs between the real program, demo mode, the tests and the screenshots.
    struct Setup {
        bool demo = false;
        // The window's keys (onboarding, tour, zoom, frame, calendar choice) and, unless
        // `settingsDefaults` is given, the settings ("settings.v1").
        std::shared_ptr<UserDefaults> defaults;
        // The settings' own domain: the demo's, which keeps its settings apart from the user's.
        std::shared_ptr<UserDefaults> settingsDefaults;
        std::filesystem::path adjustmentsPath;
        // Empty: the system clock and the system zone.
        std::function<Date()> now;
        std::function<TimeZone()> zone;
        // The calendar chooser; empty: the chooser dialog.
        CalendarAccess::Chooser chooser;
        // Where sounds go; empty: nowhere.
        SoundPlayer::Output soundOutput;
        // The file behind `defaults`, watched for the choice of calendars that `nelvo
        // calendars add` and `remove` change while the window is open; empty: not watched.
        std::filesystem::path defaultsFile;

        // The user's own stores (demo: the demo domain for the settings and the temporary
        // adjustments file; onboarding and the window's other keys stay the user's),
        // the system clock and zone, the dialog, and the desktop's audio output.
        static Setup standard(bool demo);
    };

    RootView(Setup setup, Commands& commands, QWidget* parent = nullptr);
    ~RootView() override;

    bool isDemo() const;
    UserDefaults& defaults() const;
    QUndoStack& undoStack() const;
    CalendarAccess& access() const;
    bool hasOnboarded() const;

    // Null until the canvas was first shown.
    AvailabilityModel* model() const;
    // The page shown now; the other is null.
    OnboardingView* onboarding() const;
    CanvasPage* canvasPage() const;

    // Opens the calendar chooser over the current choice (for a "choose calendars" control);
    // cancelling it keeps the choice.
    void chooseLocations();

    // The application came to the front: look at the chosen calendars again, and read them.
    void applicationBecameActive();
    // The stored choice of calendars may have changed: take it.
    void rereadChoice();
    // The application is about to end: settings waiting for their delayed save are saved.
    void saveNow();

Q_SIGNALS:
    // The canvas page was shown (again); the model exists from here on.
    void canvasShown();

private:
    struct Impl;
    void showOnboarding(bool accessOnly);
    void showCanvas();
    void accessChanged();
    std::optional<CalendarChoice> choose();
    AvailabilityModel& ensureModel();
    void watchDefaultsFile();

    std::unique_ptr<Impl> m_impl;
};

}  // namespace nelvo
