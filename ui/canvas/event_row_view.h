#pragma once

// moc stumbles on C++20 library headers; it needs none of these to read the class.
#ifndef Q_MOC_RUN
#include "kit/core/calendar_event.h"
#include "kit/model/busy_classifier.h"
#endif

#include <QWidget>

class QToolButton;

namespace nelvo {

// One event of a day's list: its time, calendar and what it overlaps, with the action that
// frees it or makes it busy again. An event that does not count has a tag and no action.
class EventRowView : public QWidget {
    Q_OBJECT

public:
    struct Content {
        CalendarEvent event;
        BusyClassifier::EventState state = BusyClassifier::EventState::busy;
        QString time;  // "9:00am – 10:00am"
        QString calendarName;
        QColor calendarColour;
        QStringList overlaps;  // titles
    };

    EventRowView(const Content& content, QWidget* parent);

    const Content& content() const { return m_content; }
    // Absent for events that do not count.
    QToolButton* actionButton() const { return m_action; }

Q_SIGNALS:
    void actionTriggered(const nelvo::CalendarEvent& event);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Content m_content;
    QToolButton* m_action = nullptr;
};

}  // namespace nelvo
