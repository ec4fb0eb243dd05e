#pragma once

#include <QToolButton>

namespace nelvo {

class AvailabilityModel;
class SettingsPopover;

// The gear at the right of the toolbar: opens the settings.
class SettingsButton : public QToolButton {
    Q_OBJECT

public:
    explicit SettingsButton(AvailabilityModel& model, QWidget* parent = nullptr);

    SettingsPopover* popover() const { return m_popover; }

public Q_SLOTS:
    void openSettings();

Q_SIGNALS:
    // "Show Me Around" and "Choose Calendars…" in the settings.
    void showTourRequested();
    void chooseCalendarsRequested();

private:
    SettingsPopover* m_popover;
};

}  // namespace nelvo
