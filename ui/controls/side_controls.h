#pragma once

#include <QObject>

class QAction;
class QWidget;

namespace nelvo {

class AvailabilityModel;
class DayCountHUD;
class DaySlider;
class SettingsButton;
class StartDayButton;
class Tips;
class Tour;
class UserDefaults;

// The side controls of one canvas page, made and wired together: the day slider with its
// count display, the start-day button, the settings button, the tour and the tips. The page
// places the three controls in its toolbar and hands over the menu commands.
class SideControls : public QObject {
    Q_OBJECT

public:
    // `page` hosts the floating count, the tour's callouts and the tips. The tour starts on
    // its own 0.7 s after the page is first shown, unless it was completed or `demo` is on.
    SideControls(AvailabilityModel& model, UserDefaults& defaults, bool demo, QWidget* page);
    ~SideControls() override;

    DaySlider* daySlider() const { return m_slider; }
    StartDayButton* startDayButton() const { return m_start; }
    SettingsButton* settingsButton() const { return m_settings; }
    DayCountHUD* dayCountHud() const { return m_hud; }
    Tour& tour() const { return *m_tour; }
    Tips& tips() const { return *m_tips; }

    // "Go to Date…", "Show Me Around" and "Choose Calendars…" (offered in the settings while
    // enabled); any may be null.
    void connectCommands(QAction* goToDate, QAction* showTour, QAction* chooseCalendars = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void offerTipsSoon();

    AvailabilityModel& m_model;
    bool m_demo;
    QWidget* m_page;
    bool m_shown = false;
    DaySlider* m_slider;
    StartDayButton* m_start;
    SettingsButton* m_settings;
    DayCountHUD* m_hud;
    Tour* m_tour;
    Tips* m_tips;
};

}  // namespace nelvo
