#pragma once

#include "ui/canvas/event_row_view.h"

#include <QScrollArea>

#include <vector>

namespace nelvo {

// The rows of a day's events, scrolling when there are many.
class EventsListView : public QScrollArea {
    Q_OBJECT

public:
    explicit EventsListView(QWidget* parent);

    void setRows(const std::vector<EventRowView::Content>& rows);
    const std::vector<EventRowView*>& rows() const { return m_rows; }

    QSize sizeHint() const override;

Q_SIGNALS:
    void actionTriggered(const nelvo::CalendarEvent& event);

private:
    std::vector<EventRowView*> m_rows;
};

}  // namespace nelvo
