#pragma once

#include "ui/controls/popover.h"

class QCalendarWidget;
class QPushButton;

namespace nelvo {

class AvailabilityModel;

// "Starts on": a month calendar from today to a year ahead, in the primary zone, and a
// "Today" button. Picking a day pins it as the start day and closes the popover.
class StartDayPopover : public Popover {
    Q_OBJECT

public:
    explicit StartDayPopover(AvailabilityModel& model, QWidget* parent = nullptr);

    QCalendarWidget* calendar() const { return m_calendar; }
    QPushButton* todayButton() const { return m_today; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The range and the selection from the model: today and the zone may have moved since the
    // popover was last open.
    void refresh();
    void pick(int year, int month, int day);

    AvailabilityModel& m_model;
    QCalendarWidget* m_calendar;
    QPushButton* m_today;
};

}  // namespace nelvo
