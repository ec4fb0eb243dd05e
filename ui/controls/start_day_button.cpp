#include "ui/controls/start_day_button.h"

#include "app/availability_model.h"
#include "ui/controls/side_icons.h"
#include "ui/controls/start_day_popover.h"

namespace nelvo {

StartDayButton::StartDayButton(AvailabilityModel& model, QWidget* parent)
    : QToolButton(parent), m_model(model), m_popover(new StartDayPopover(model, this))
{
    setObjectName(QStringLiteral("tour.start"));
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setIcon(SideIcons::calendar());
    setFocusPolicy(Qt::StrongFocus);
    setAutoRaise(false);
    setToolTip(QStringLiteral("Choose the day your availability starts"));
    setAccessibleDescription(QStringLiteral("Choose the day your availability starts"));
    showLabel();

    connect(this, &QToolButton::clicked, this, &StartDayButton::openCalendar);
    connect(&m_model, &AvailabilityModel::startDayKeyChanged, this, &StartDayButton::showLabel);
    connect(&m_model, &AvailabilityModel::zoneChanged, this, &StartDayButton::showLabel);
    connect(&m_model, &AvailabilityModel::todayChanged, this, &StartDayButton::showLabel);
}

void StartDayButton::openCalendar()
{
    if (m_popover->isVisible())
        return;
    m_popover->openAt(this);
}

void StartDayButton::showLabel()
{
    const QString label =
        QStringLiteral("Starts ") + QString::fromStdString(m_model.startDayLabel());
    setText(label);
    setAccessibleName(label);
}

}  // namespace nelvo
