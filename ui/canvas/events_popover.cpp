#include "ui/canvas/events_popover.h"

#include "app/availability_model.h"
#include "kit/model/busy_classifier.h"
#include "kit/render/slot_formatter.h"
#include "ui/canvas/canvas_style.h"
#include "ui/canvas/canvas_text.h"
#include "ui/canvas/events_list_view.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace nelvo {

EventsPopover::EventsPopover(AvailabilityModel& model, std::string dayKey, QWidget* parent)
    : Popover(parent), m_model(model), m_dayKey(std::move(dayKey)), m_title(new QLabel(this)),
      m_list(new EventsListView(this))
{
    setObjectName(QStringLiteral("eventsPopover"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(6);
    m_title->setFont(CanvasStyle::font(font(), 1, true));
    column->addWidget(m_title);
    column->addWidget(m_list, 1);
    auto* footer = new QLabel(QString::fromLatin1(CanvasText::eventsFooter), this);
    footer->setWordWrap(true);
    footer->setFont(CanvasStyle::font(font(), -1.5));
    QPalette footerPalette = footer->palette();
    footerPalette.setColor(QPalette::WindowText, CanvasStyle::secondaryText(palette()));
    footer->setPalette(footerPalette);
    column->addWidget(footer);

    connect(m_list, &EventsListView::actionTriggered, this,
            [this](const CalendarEvent& event) { m_model.toggleMovable(event); });
    connect(&m_model, &AvailabilityModel::daysChanged, this, &EventsPopover::refresh);
    connect(&m_model, &AvailabilityModel::adjustmentsChanged, this, &EventsPopover::refresh);
    refresh();
}

void EventsPopover::refresh()
{
    const auto& days = m_model.days();
    const auto day = std::find_if(days.begin(), days.end(),
                                  [this](const DayData& d) { return d.id == m_dayKey; });
    if (day == days.end()) {
        close();
        return;
    }
    const TimeZone& zone = m_model.zone();
    const bool use24Hour = m_model.settings().use24Hour;
    m_title->setText(QString::fromStdString(SlotFormatter::longDayLabel(day->date, zone)));
    const auto& reasons = day->reasons;
    // Only what holds time is said to overlap: an all-day event, or one that does not count,
    // would overlap every meeting of the day and say nothing.
    const auto holdsTime = [&](std::size_t i) {
        return !day->events[i].isAllDay && (BusyClassifier::counts(reasons[i]) ||
                                            reasons[i] == BusyClassifier::BusyReason::freed);
    };
    std::vector<EventRowView::Content> rows;
    for (std::size_t i = 0; i < day->events.size(); ++i) {
        const CalendarEvent& event = day->events[i];
        EventRowView::Content row;
        row.event = event;
        row.reason = reasons[i];
        row.state = BusyClassifier::state(reasons[i]);
        row.time = event.isAllDay ? QString::fromLatin1(CanvasText::allDay)
                                  : CanvasText::range(Slot{event.start, event.end}, zone, day->date,
                                                      zone, use24Hour);
        for (const auto& calendar : m_model.calendars()) {
            if (calendar.id == event.calendarID)
                row.calendarName = QString::fromStdString(calendar.title);
        }
        row.calendarColour = QColor(QString::fromStdString(event.calendarColorHex));
        if (holdsTime(i)) {
            for (std::size_t j = 0; j < day->events.size(); ++j) {
                const CalendarEvent& other = day->events[j];
                if (j != i && holdsTime(j) && other.start < event.end && event.start < other.end)
                    row.overlaps << QString::fromStdString(other.title);
            }
        }
        rows.push_back(std::move(row));
    }
    m_list->setRows(rows);
    setAccessibleName(m_title->text());
}

void EventsPopover::keyPressEvent(QKeyEvent* event)
{
    // A row's action is a tool button, which takes only Space; Enter runs it too.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        auto* button = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
        if (button && isAncestorOf(button) && button->isEnabled()) {
            button->click();
            event->accept();
            return;
        }
    }
    Popover::keyPressEvent(event);
}

}  // namespace nelvo
