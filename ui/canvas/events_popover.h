#pragma once

#include "ui/controls/popover.h"

#include <string>

class QLabel;

namespace nelvo {

class AvailabilityModel;
class EventsListView;

// A day's events in a popover under its header: what is booked, on which calendar, what it
// overlaps, and the action that frees a meeting or makes it busy again. It lives in the
// window, so screen readers reach its rows; Tab moves between the rows' actions and Enter or
// Space runs the focused one. Follows the model while it is open.
class EventsPopover : public Popover {
    Q_OBJECT

public:
    EventsPopover(AvailabilityModel& model, std::string dayKey, QWidget* parent);

    EventsListView* list() const { return m_list; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void refresh();

    AvailabilityModel& m_model;
    std::string m_dayKey;
    QLabel* m_title;
    EventsListView* m_list;
};

}  // namespace nelvo
