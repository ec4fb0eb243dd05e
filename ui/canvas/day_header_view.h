#pragma once

// moc stumbles on C++20 library headers; it needs none of these to read the class.
#ifndef Q_MOC_RUN
#include "app/day_data.h"
#endif

#include <QWidget>

#include <string>

class QLabel;
class QToolButton;

namespace nelvo {

class AvailabilityModel;
class EventsPopover;
class TimeZone;

// The head of one day's column: the date (click to leave the day out or take it back in, or
// use the context menu) and a button that opens the day's events.
class DayHeaderView : public QWidget {
    Q_OBJECT

public:
    DayHeaderView(AvailabilityModel& model, QWidget* parent);

    void setDay(const DayData& day, const TimeZone& zone);
    const DayData& day() const { return m_day; }

    QToolButton* dateButton() const { return m_date; }
    QToolButton* eventsButton() const { return m_events; }
    // Opens the events popover under the events button; the popover closes itself.
    EventsPopover* showEvents();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void layoutChildren();
    // The date's and the event count's colours, from the day and the header's palette.
    void applyColours();

    AvailabilityModel& m_model;
    DayData m_day;
    std::string m_zoneID;  // of the last setDay; the header changes only with the day or zone
    QToolButton* m_date;
    QLabel* m_tag;
    QToolButton* m_events;
};

}  // namespace nelvo
