#pragma once

#include "ui/controls/popover.h"

#include <string>

class QCheckBox;
class QComboBox;
class QPushButton;
class QScrollArea;
class QVBoxLayout;

namespace nelvo {

class AvailabilityModel;
class MyAddressesRow;
class PrimaryZonePicker;

// Everything that changes what is shared without touching the canvas: zone, clock, shortest
// free time, advance notice, weekends, sounds and the calendars that count, and the way back
// into the tour.
class SettingsPopover : public Popover {
    Q_OBJECT

public:
    explicit SettingsPopover(AvailabilityModel& model, QWidget* parent = nullptr);

    PrimaryZonePicker* zonePicker() const { return m_zone; }
    QCheckBox* twelveHourClock() const { return m_clock; }
    QComboBox* shortestFreeTime() const { return m_minimum; }
    QComboBox* advanceNotice() const { return m_notice; }
    QCheckBox* skipWeekends() const { return m_weekends; }
    QCheckBox* sounds() const { return m_sounds; }
    QPushButton* showMeAround() const { return m_tour; }
    // "Choose Calendars…", beside the calendars' heading; hidden until a command is given.
    QPushButton* chooseCalendars() const { return m_choose; }
    // The calendar check boxes, in the order shown.
    QList<QCheckBox*> calendarBoxes() const;
    // "My Addresses", below the calendars; none until set (demo mode has none).
    void setAddressesRow(MyAddressesRow* row);
    MyAddressesRow* addressesRow() const { return m_addressesRow; }

Q_SIGNALS:
    void showTourRequested();
    void chooseCalendarsRequested();

private:
    void showSettings();
    void showWeekends();
    void rebuildCalendars();
    // "⚠ offline; up to date as of 2 hours ago" for a calendar that is not up to date.
    QString troubleOf(const std::string& calendarID) const;
    void showCalendarChecks();
    template <typename Change>
    void change(Change&& edit);

    AvailabilityModel& m_model;
    PrimaryZonePicker* m_zone;
    QCheckBox* m_clock;
    QComboBox* m_minimum;
    QComboBox* m_notice;
    QCheckBox* m_weekends;
    QCheckBox* m_sounds;
    QPushButton* m_tour;
    QPushButton* m_choose;
    QScrollArea* m_calendarScroll;
    QWidget* m_calendars;
    QVBoxLayout* m_calendarLayout;
    QVBoxLayout* m_addressesSlot;
    MyAddressesRow* m_addressesRow = nullptr;
};

}  // namespace nelvo
