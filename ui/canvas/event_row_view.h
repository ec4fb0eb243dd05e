#pragma once

// moc stumbles on C++20 library headers; it needs none of these to read the class.
#ifndef Q_MOC_RUN
#include "kit/core/calendar_event.h"
#include "kit/model/busy_classifier.h"
#endif

#include <QWidget>

class QToolButton;

namespace nelvo {

// One event of a day's list: its time, calendar and what it overlaps, a tag that says why it
// counts or not, and the action that frees it or makes it busy again (none for an event that
// does not count).
class EventRowView : public QWidget {
    Q_OBJECT

public:
    struct Content {
        CalendarEvent event;
        BusyClassifier::EventState state = BusyClassifier::EventState::busy;
        BusyClassifier::BusyReason reason = BusyClassifier::BusyReason::ownEvent;
        QString time;  // "9:00am – 10:00am", or "All day"
        QString calendarName;
        QColor calendarColour;
        QStringList overlaps;  // titles
    };

    EventRowView(const Content& content, QWidget* parent);

    const Content& content() const { return m_content; }
    // Absent for events that do not count.
    QToolButton* actionButton() const { return m_action; }
    // The reason's tag as shown: "Accepted", "Freed", "Declined\nNot counted".
    QString tagText() const;

Q_SIGNALS:
    void actionTriggered(const nelvo::CalendarEvent& event);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Content m_content;
    QToolButton* m_action = nullptr;
};

}  // namespace nelvo
