#pragma once

// moc cannot read the C++20 headers the kit's records use.
#ifndef Q_MOC_RUN
#include "app/calendar_state.h"
#include "app/source_problem.h"
#include "kit/core/date.h"
#endif

#include <QFrame>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;

namespace nelvo {

class AvailabilityModel;
class Commands;

// The bar above the canvas that names every chosen calendar that is not up to date, with its
// cause, and what kept busy time from being read in a calendar read otherwise (a repeating
// event not expanded, a size bound reached), with one thing to do about it. It shows itself while
// there is something to say and goes away when the calendars recover; a screen reader hears it as
// an alert.
class CalendarNotice : public QFrame {
    Q_OBJECT
public:
    enum class Action { tryAgain, chooseCalendars, signIn };

    // `now` dates saved copies ("as of 2 hours ago").
    CalendarNotice(AvailabilityModel& model, Commands& commands, std::function<Date()> now,
                   QWidget* parent = nullptr);

    QString text() const;
    Action action() const { return m_action; }
    // Whether something is said now; the copy button's tooltip follows it.
    bool isRaised() const { return m_isRaised; }

    // What the bar says of these states, which are not up to date, and of the fetch's
    // problems that may hide busy time; empty for none.
    static QString summary(const std::vector<CalendarState>& troubled,
                           const std::vector<SourceProblem>& problems, Date now);
    // The one thing to do: sign in when an account asks for it, choose again when a chosen
    // calendar cannot be read, otherwise read again.
    static Action actionFor(const std::vector<CalendarState>& troubled);

Q_SIGNALS:
    void raisedChanged(bool raised);

protected:
    void changeEvent(QEvent* event) override;

private:
    static QString statesSummary(const std::vector<CalendarState>& troubled, Date now);
    void update();
    void act();
    void applyColors();

    AvailabilityModel& m_model;
    Commands& m_commands;
    std::function<Date()> m_now;
    QLabel* m_text;
    QPushButton* m_button;
    Action m_action = Action::tryAgain;
    bool m_isRaised = false;
};

}  // namespace nelvo
