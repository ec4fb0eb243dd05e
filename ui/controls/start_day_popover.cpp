#include "ui/controls/start_day_popover.h"

#include "app/availability_model.h"
#include "kit/core/calendar.h"
#include "kit/core/day_key.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace nelvo {
namespace {

QDate localDate(Date date, const TimeZone& zone)
{
    const auto parts = Calendar(zone).parts(date);
    return QDate(static_cast<int>(parts.year), parts.month, parts.day);
}

}  // namespace

StartDayPopover::StartDayPopover(AvailabilityModel& model, QWidget* parent)
    : Popover(parent), m_model(model), m_calendar(new QCalendarWidget(this)),
      m_today(new QPushButton(QStringLiteral("Today"), this))
{
    setObjectName(QStringLiteral("startDayPopover"));
    setAccessibleName(QStringLiteral("Starts on"));

    auto* title = new QLabel(QStringLiteral("Starts on"), this);
    QFont bold = title->font();
    bold.setWeight(QFont::DemiBold);
    title->setFont(bold);

    m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_calendar->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    m_calendar->setGridVisible(false);
    m_calendar->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    m_calendar->setAccessibleName(QStringLiteral("Start day"));
    m_calendar->setMinimumSize(280, 220);

    m_today->setAccessibleDescription(QStringLiteral("Start your availability today"));

    auto* header = new QHBoxLayout;
    header->addWidget(title);
    header->addStretch();
    header->addWidget(m_today);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 14);
    layout->setSpacing(10);
    layout->addLayout(header);
    layout->addWidget(m_calendar);

    // A click picks; so does Enter on the focused day (activated).
    auto picked = [this](QDate d) { pick(d.year(), d.month(), d.day()); };
    connect(m_calendar, &QCalendarWidget::clicked, this, picked);
    connect(m_calendar, &QCalendarWidget::activated, this, picked);
    connect(m_today, &QPushButton::clicked, this, [this] {
        m_model.setStartDay(m_model.today());
        close();
    });
}

void StartDayPopover::showEvent(QShowEvent* event)
{
    refresh();
    Popover::showEvent(event);
    m_calendar->setFocus(Qt::PopupFocusReason);
}

void StartDayPopover::refresh()
{
    const TimeZone& zone = m_model.zone();
    const auto [first, last] = m_model.startDayRange();
    m_calendar->setDateRange(localDate(first, zone), localDate(last, zone));
    QDate selected = localDate(m_model.today(), zone);
    if (const auto& key = m_model.startDayKey())
        if (auto pinned = DayKey::date(*key, zone))
            selected = localDate(*pinned, zone);
    m_calendar->setSelectedDate(selected);
}

void StartDayPopover::pick(int year, int month, int day)
{
    if (auto date = Calendar(m_model.zone()).date(year, month, day))
        m_model.setStartDay(*date);
    close();
}

}  // namespace nelvo
