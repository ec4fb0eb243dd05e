#pragma once

#include <QToolButton>

namespace nelvo {

class AvailabilityModel;
class StartDayPopover;

// "Starts Today" or "Starts Thu, Mar 6": opens the month calendar that pins the start day.
class StartDayButton : public QToolButton {
    Q_OBJECT

public:
    explicit StartDayButton(AvailabilityModel& model, QWidget* parent = nullptr);

    StartDayPopover* popover() const { return m_popover; }

public Q_SLOTS:
    // Also what "Go to Date…" does.
    void openCalendar();

private:
    void showLabel();

    AvailabilityModel& m_model;
    StartDayPopover* m_popover;
};

}  // namespace nelvo
