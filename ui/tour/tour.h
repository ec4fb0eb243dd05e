#pragma once

#include "ui/defaults_keys.h"
#include "ui/tour/tour_step.h"

#include <QObject>

#include <functional>
#include <optional>
#include <vector>

class QTimer;

namespace nelvo {

class AvailabilityModel;
class UserDefaults;

// The guided tour of the canvas: which step is showing, and whether the user has been
// through it ("tour.completed" in the defaults).
class Tour : public QObject {
    Q_OBJECT

public:
    using SkipRule = std::function<bool(TourStep)>;

    static constexpr const char* completedKey = DefaultsKeys::tourCompleted;
    // The pause between the canvas first showing and the tour starting on its own.
    static constexpr int autoStartDelayMilliseconds = 700;

    explicit Tour(UserDefaults& defaults, QObject* parent = nullptr);

    // The rule of the window: the events step is passed over while no day of the model has
    // a meeting that could be freed.
    static SkipRule eventsNeedAMeeting(const AvailabilityModel& model);

    // Steps the rule returns true for are passed over; asked anew at every move, since the
    // days (and their meetings) can change while the tour runs.
    void setShouldSkip(SkipRule rule) { m_shouldSkip = std::move(rule); }

    std::optional<TourStep> step() const { return m_step; }
    const std::vector<TourStep>& steps() const { return m_steps; }
    bool isRunning() const { return m_step.has_value(); }
    bool isCompleted() const;

    // 1-based place of the current step among the steps not skipped, and their number.
    int position() const;
    int count() const;
    bool isLastStep() const;

    // From the first step not skipped, whether or not the tour was completed before.
    void start();
    // The next step not skipped; past the last one the tour ends as with skip().
    void next();
    // Ends the tour and remembers that it was seen.
    void skip();

    // After autoStartDelayMilliseconds, unless the tour was completed, demo mode is on, or a
    // tour is already showing: checked both now and when the time comes.
    void scheduleAutoStart(bool demo);

Q_SIGNALS:
    void stepChanged();

private:
    bool skipped(TourStep step) const { return m_shouldSkip && m_shouldSkip(step); }
    bool mayAutoStart() const;
    void setStep(std::optional<TourStep> step);

    UserDefaults& m_defaults;
    std::vector<TourStep> m_steps;
    std::optional<TourStep> m_step;
    SkipRule m_shouldSkip;
    QTimer* m_autoStart = nullptr;
};

}  // namespace nelvo
