#include "ui/tour/tour.h"

#include "app/availability_model.h"
#include "kit/store/user_defaults.h"

#include <QTimer>

#include <algorithm>

namespace nelvo {

Tour::Tour(UserDefaults& defaults, QObject* parent)
    : QObject(parent), m_defaults(defaults),
      m_steps(TourSteps::all().begin(), TourSteps::all().end()), m_autoStart(new QTimer(this))
{
    m_autoStart->setSingleShot(true);
    m_autoStart->setInterval(autoStartDelayMilliseconds);
    connect(m_autoStart, &QTimer::timeout, this, [this] {
        if (mayAutoStart())
            start();
    });
}

Tour::SkipRule Tour::eventsNeedAMeeting(const AvailabilityModel& model)
{
    return [&model](TourStep step) {
        if (step != TourStep::events)
            return false;
        const auto& days = model.days();
        return std::none_of(days.begin(), days.end(),
                            [&](const DayData& day) { return model.hasMeetingToFree(day); });
    };
}

bool Tour::isCompleted() const
{
    return m_defaults.boolValue(completedKey).value_or(false);
}

int Tour::position() const
{
    if (!m_step)
        return 0;
    int place = 0;
    for (TourStep s : m_steps) {
        if (!skipped(s))
            ++place;
        if (s == *m_step)
            return place;
    }
    return place;
}

int Tour::count() const
{
    return static_cast<int>(
        std::count_if(m_steps.begin(), m_steps.end(), [this](TourStep s) { return !skipped(s); }));
}

bool Tour::isLastStep() const
{
    if (!m_step)
        return false;
    auto at = std::find(m_steps.begin(), m_steps.end(), *m_step);
    return std::none_of(at == m_steps.end() ? at : at + 1, m_steps.end(),
                        [this](TourStep s) { return !skipped(s); });
}

void Tour::start()
{
    m_autoStart->stop();
    auto first =
        std::find_if(m_steps.begin(), m_steps.end(), [this](TourStep s) { return !skipped(s); });
    if (first == m_steps.end()) {
        skip();
        return;
    }
    setStep(*first);
}

void Tour::next()
{
    if (!m_step)
        return;
    auto at = std::find(m_steps.begin(), m_steps.end(), *m_step);
    auto following = std::find_if(at == m_steps.end() ? at : at + 1, m_steps.end(),
                                  [this](TourStep s) { return !skipped(s); });
    if (following == m_steps.end())
        skip();
    else
        setStep(*following);
}

void Tour::skip()
{
    m_autoStart->stop();
    m_defaults.setBool(completedKey, true);
    setStep(std::nullopt);
}

void Tour::scheduleAutoStart(bool demo)
{
    if (demo || !mayAutoStart())
        return;
    m_autoStart->start();
}

bool Tour::mayAutoStart() const
{
    return !isCompleted() && !m_step;
}

void Tour::setStep(std::optional<TourStep> step)
{
    if (step == m_step)
        return;
    m_step = step;
    Q_EMIT stepChanged();
}

}  // namespace nelvo
