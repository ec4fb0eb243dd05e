#include "ui/canvas/day_header_view.h"

#include "app/availability_model.h"
#include "kit/render/slot_formatter.h"
#include "ui/canvas/canvas_style.h"
#include "ui/canvas/canvas_text.h"
#include "ui/canvas/context_menu.h"
#include "ui/canvas/events_popover.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

namespace nelvo {

DayHeaderView::DayHeaderView(AvailabilityModel& model, QWidget* parent)
    : QWidget(parent), m_model(model), m_date(new QToolButton(this)),
      m_tag(new QLabel(QString::fromLatin1(CanvasText::leftOutTag), this)),
      m_events(new QToolButton(this))
{
    m_date->setAutoRaise(true);
    m_date->setToolTip(QString::fromLatin1(CanvasText::toggleDayHelp));
    m_date->setAccessibleDescription(QString::fromLatin1(CanvasText::toggleDayHelp));
    m_date->setFont(CanvasStyle::font(font(), 1, true));
    m_date->setCursor(Qt::PointingHandCursor);
    connect(m_date, &QToolButton::clicked, this, [this] {
        const std::string key = m_day.id;
        m_model.toggleDay(key);
    });

    m_tag->setAlignment(Qt::AlignCenter);
    m_tag->setFont(CanvasStyle::font(font(), -2, true));
    m_tag->hide();

    m_events->setAutoRaise(true);
    m_events->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_events->setIcon(QIcon::fromTheme(QStringLiteral("view-list-symbolic"),
                                       QIcon::fromTheme(QStringLiteral("view-list"))));
    m_events->setIconSize(QSize(12, 12));
    m_events->setFont(CanvasStyle::font(font(), -1.5));
    m_events->setToolTip(QString::fromLatin1(CanvasText::showEvents));
    connect(m_events, &QToolButton::clicked, this, [this] { showEvents(); });
}

void DayHeaderView::setDay(const DayData& day, const TimeZone& zone)
{
    if (!m_zoneID.empty() && zone.id() == m_zoneID && day == m_day)
        return;
    m_zoneID = zone.id();
    m_day = day;
    const QString title = CanvasText::dayTitle(day.date, zone);
    m_date->setText(title);
    m_date->setAccessibleName(title + (day.isExcluded ? QStringLiteral(", left out") : QString()));
    applyColours();
    m_tag->setVisible(day.isExcluded);
    m_events->setText(CanvasText::eventCount(day.events.size()));
    // The name is the same on every day; which day, and how many events, is the description.
    m_events->setAccessibleName(QString::fromLatin1(CanvasText::showEvents));
    m_events->setAccessibleDescription(
        QString::fromStdString(SlotFormatter::longDayLabel(day.date, zone)) + QStringLiteral(", ") +
        CanvasText::eventCount(day.events.size()));
    m_events->setEnabled(!day.events.empty());
    m_events->setVisible(!day.isExcluded);
    layoutChildren();
}

void DayHeaderView::resizeEvent(QResizeEvent*)
{
    layoutChildren();
}

void DayHeaderView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        applyColours();
}

void DayHeaderView::applyColours()
{
    const QColor grey = CanvasStyle::secondaryText(palette());
    QPalette datePalette = palette();
    if (m_day.isExcluded)
        datePalette.setColor(QPalette::ButtonText, grey);
    else if (m_day.isToday)
        datePalette.setColor(QPalette::ButtonText, palette().color(QPalette::Highlight));
    m_date->setPalette(datePalette);
    // "0 events" is disabled but still read: the canvas's grey, not the style's fainter one.
    QPalette eventsPalette = palette();
    eventsPalette.setColor(QPalette::Disabled, QPalette::ButtonText, grey);
    eventsPalette.setColor(QPalette::Disabled, QPalette::WindowText, grey);
    m_events->setPalette(eventsPalette);
}

void DayHeaderView::layoutChildren()
{
    const int w = width();
    const int dateWidth = std::min(w, m_date->sizeHint().width());
    m_date->setGeometry((w - dateWidth) / 2, 2, dateWidth, 26);
    const int eventsWidth = std::min(w - 4, m_events->sizeHint().width());
    m_events->setGeometry((w - eventsWidth) / 2, 28, eventsWidth, 22);
    m_tag->setGeometry(0, 30, w, 18);
}

EventsPopover* DayHeaderView::showEvents()
{
    auto* popover = new EventsPopover(m_model, m_day.id, this);
    popover->setAttribute(Qt::WA_DeleteOnClose);
    popover->openAt(m_events);
    return popover;
}

void DayHeaderView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = ContextMenu::make(this);
    const std::string key = m_day.id;
    menu->addAction(
        QString::fromLatin1(m_day.isExcluded ? CanvasText::includeDay : CanvasText::leaveDayOut),
        this, [this, key] { m_model.toggleDay(key); });
    ContextMenu::open(menu, this, *event, m_date->geometry().bottomLeft());
}

}  // namespace nelvo
