#pragma once

#include <QFrame>

#include <string>

class QLabel;

namespace nelvo {

class AvailabilityModel;
class EventsListView;

// A day's events in a popover under its header: what is booked, on which calendar, what it
// overlaps, and the action that frees a meeting or makes it busy again. Follows the model
// while it is open.
class EventsPopover : public QFrame {
    Q_OBJECT

public:
    EventsPopover(AvailabilityModel& model, std::string dayKey, QWidget* parent);

    void showBelow(QWidget* anchor);
    EventsListView* list() const { return m_list; }

private:
    void refresh();

    AvailabilityModel& m_model;
    std::string m_dayKey;
    QLabel* m_title;
    EventsListView* m_list;
};

}  // namespace nelvo
