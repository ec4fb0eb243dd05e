#include "ui/controls/settings_button.h"

#include "ui/controls/settings_popover.h"
#include "ui/controls/side_icons.h"

namespace nelvo {

SettingsButton::SettingsButton(AvailabilityModel& model, QWidget* parent)
    : QToolButton(parent), m_popover(new SettingsPopover(model, this))
{
    setObjectName(QStringLiteral("tour.settings"));
    setIcon(SideIcons::settings());
    setToolTip(QStringLiteral("Settings"));
    setAccessibleName(QStringLiteral("Settings"));
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QToolButton::clicked, this, &SettingsButton::openSettings);
    connect(m_popover, &SettingsPopover::showTourRequested, this,
            &SettingsButton::showTourRequested);
    connect(m_popover, &SettingsPopover::chooseCalendarsRequested, this,
            &SettingsButton::chooseCalendarsRequested);
}

void SettingsButton::openSettings()
{
    if (!m_popover->isVisible())
        m_popover->openAt(this);
}

}  // namespace nelvo
