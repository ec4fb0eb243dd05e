#include "ui/controls/side_controls.h"

#include "app/availability_model.h"
#include "ui/controls/day_count_hud.h"
#include "ui/controls/day_slider.h"
#include "ui/controls/my_addresses_row.h"
#include "ui/controls/settings_button.h"
#include "ui/controls/settings_popover.h"
#include "ui/controls/start_day_button.h"
#include "ui/tour/tips.h"
#include "ui/tour/tour.h"
#include "ui/tour/tour_callout.h"

#include <QAction>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

namespace nelvo {

SideControls::SideControls(AvailabilityModel& model, UserDefaults& defaults, bool demo,
                           QWidget* page)
    : QObject(page), m_model(model), m_demo(demo), m_page(page),
      m_slider(new DaySlider(model, page)), m_start(new StartDayButton(model, page)),
      m_settings(new SettingsButton(model, page)), m_hud(new DayCountHUD(model, page)),
      m_tour(new Tour(defaults, this)), m_tips(new Tips(defaults, demo, page, m_tour))
{
    connect(m_slider, &DaySlider::adjustingChanged, m_hud, &DayCountHUD::setAdjusting);
    m_tour->setShouldSkip(Tour::eventsNeedAMeeting(model));
    new TourCallout(*m_tour, page);
    connect(m_settings, &SettingsButton::showTourRequested, m_tour, &Tour::start);
    // The events tip waits for a day with a meeting to free; the canvas lays out its days
    // after the model changes, so look once it has.
    connect(&m_model, &AvailabilityModel::daysChanged, this, &SideControls::offerTipsSoon);
    page->installEventFilter(this);
    if (!demo) {
        auto* addresses = new MyAddressesRow(model, defaults);
        m_settings->popover()->setAddressesRow(addresses);
        m_tips->setAddressesTip([this] { return m_model.hasInvitationsWithoutUser(); },
                                [this] {
                                    m_settings->openSettings();
                                    m_settings->popover()->addressesRow()->field()->setFocus();
                                });
    }
}

SideControls::~SideControls() = default;

void SideControls::connectCommands(QAction* goToDate, QAction* showTour, QAction* chooseCalendars)
{
    if (goToDate)
        connect(goToDate, &QAction::triggered, m_start, &StartDayButton::openCalendar);
    if (showTour)
        connect(showTour, &QAction::triggered, m_tour, &Tour::start);
    if (chooseCalendars) {
        connect(m_settings, &SettingsButton::chooseCalendarsRequested, chooseCalendars,
                &QAction::trigger);
        m_settings->popover()->chooseCalendars()->setVisible(chooseCalendars->isEnabled());
    }
}

bool SideControls::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_page && event->type() == QEvent::Show && !m_shown) {
        m_shown = true;
        m_tour->scheduleAutoStart(m_demo);
        // After the tour had its chance to start.
        QTimer::singleShot(Tour::autoStartDelayMilliseconds + 300, this,
                           [this] { m_tips->offer(); });
    }
    return QObject::eventFilter(watched, event);
}

void SideControls::offerTipsSoon()
{
    if (m_shown)
        QTimer::singleShot(0, this, [this] { m_tips->offer(); });
}

}  // namespace nelvo
