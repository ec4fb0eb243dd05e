#pragma once

// moc stumbles on C++20 library headers; it needs none of these to read the class.
#ifndef Q_MOC_RUN
#include "kit/core/calendar_event.h"
#endif

#include <QWidget>

namespace nelvo {

// The trace a freed meeting leaves: a narrow dashed outline at the trailing side of the column
// over the time the meeting had, marked "Freed", which the band beneath keeps its texts clear
// of. Clicking it (or Enter and Space when focused, or the accessible action) makes the
// meeting busy again.
class FreedMarkView : public QWidget {
    Q_OBJECT

public:
    explicit FreedMarkView(QWidget* parent);

    // The meeting, and its name and description as a screen reader says them (no title).
    void setEvent(const CalendarEvent& event, const QString& name, const QString& description);
    const CalendarEvent& event() const { return m_event; }
    // The "Freed" mark, in the view's coordinates.
    QRect markRect() const;
    // The width of the outline, and the least height that holds the mark.
    static int widthFor(const QFont& font);
    static int minimumHeightFor(const QFont& font);

    // A copy goes out: the model's answer may give this view another meeting at once.
    void makeBusyAgain()
    {
        const CalendarEvent event = m_event;
        Q_EMIT busyAgainRequested(event);
    }

Q_SIGNALS:
    void busyAgainRequested(const nelvo::CalendarEvent& event);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    CalendarEvent m_event;
    bool m_pressed = false;
};

}  // namespace nelvo
