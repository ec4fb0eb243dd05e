#include "ui/calendar_notice.h"

#include "app/availability_model.h"
#include "ui/commands.h"

#include <QAccessible>
#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>

#include <algorithm>
#include <cctype>

namespace nelvo {

namespace {

QString sentence(std::string line)
{
    if (!line.empty())
        line[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(line[0])));
    return QString::fromStdString(line) + QLatin1Char('.');
}

}  // namespace

CalendarNotice::CalendarNotice(AvailabilityModel& model, Commands& commands,
                               std::function<Date()> now, QWidget* parent)
    : QFrame(parent), m_model(model), m_commands(commands), m_now(std::move(now)),
      m_text(new QLabel(this)), m_button(new QPushButton(this))
{
    setObjectName(QStringLiteral("calendarNotice"));
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(12, 6, 12, 6);
    row->setSpacing(12);
    m_text->setWordWrap(true);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    row->addWidget(m_text, 1);
    row->addWidget(m_button, 0, Qt::AlignVCenter);
    connect(m_button, &QPushButton::clicked, this, &CalendarNotice::act);
    connect(&m_model, &AvailabilityModel::calendarStatesChanged, this, &CalendarNotice::update);
    connect(&m_model, &AvailabilityModel::fetchProblemsChanged, this, &CalendarNotice::update);
    applyColors();
    update();
}

QString CalendarNotice::text() const
{
    return m_text->text();
}

QString CalendarNotice::summary(const std::vector<CalendarState>& troubled,
                                const std::vector<SourceProblem>& problems, Date now)
{
    // A calendar that cannot be read at all is named by its state already.
    QStringList hiding;
    for (const SourceProblem& problem : problems) {
        if (problem.hidesBusyTime() && problem.kind != SourceProblem::Kind::unreadableCalendar)
            hiding << QString::fromStdString(problem.message);
    }
    QString partly;
    if (!hiding.isEmpty()) {
        constexpr qsizetype named = 2;
        const auto more = static_cast<int>(hiding.size() - named);
        if (more > 0)
            hiding = hiding.first(named) << tr("%n more", nullptr, more);
        partly = tr("Not everything could be read: %1. Busy time may be shown as free.")
                     .arg(hiding.join(QStringLiteral("; ")));
    }
    if (troubled.empty())
        return partly;
    const QString states = statesSummary(troubled, now);
    return partly.isEmpty() ? states : states + QLatin1Char(' ') + partly;
}

QString CalendarNotice::statesSummary(const std::vector<CalendarState>& troubled, Date now)
{
    if (troubled.empty())
        return {};
    const bool hides = std::any_of(troubled.begin(), troubled.end(),
                                   [](const CalendarState& s) { return s.hidesBusyTime(); });
    const QString consequence = hides ? tr("Busy time may be shown as free until it is read.")
                                      : tr("Recent changes may be missing.");
    if (troubled.size() == 1)
        return sentence(troubled.front().line(now)) + QLatin1Char(' ') + consequence;
    QStringList each;
    for (const CalendarState& state : troubled)
        each << QStringLiteral("\u201C%1\u201D (%2)")
                    .arg(QString::fromStdString(state.name),
                         QString::fromStdString(state.shortCause(now)));
    return tr("%n calendars are not up to date: %1.", nullptr, static_cast<int>(troubled.size()))
               .arg(each.join(QStringLiteral("; "))) +
           QLatin1Char(' ') + consequence;
}

CalendarNotice::Action CalendarNotice::actionFor(const std::vector<CalendarState>& troubled)
{
    auto any = [&](CalendarState::Kind kind) {
        return std::any_of(troubled.begin(), troubled.end(),
                           [kind](const CalendarState& s) { return s.kind == kind; });
    };
    if (any(CalendarState::Kind::needsSignIn))
        return Action::signIn;
    if (any(CalendarState::Kind::unreadable))
        return Action::chooseCalendars;
    return Action::tryAgain;
}

void CalendarNotice::update()
{
    const auto troubled = troubledStates(m_model.calendarStates());
    const QString said = summary(troubled, m_model.fetchProblems(), m_now());
    m_action = actionFor(troubled);
    switch (m_action) {
    case Action::signIn:
        m_button->setText(tr("Sign In\u2026"));
        m_button->setToolTip(tr("Open the desktop's online accounts to sign in again"));
        break;
    case Action::chooseCalendars:
        m_button->setText(tr("Choose Calendars\u2026"));
        m_button->setToolTip({});
        break;
    case Action::tryAgain:
        m_button->setText(tr("Try Again"));
        m_button->setToolTip({});
        break;
    }
    const bool changedText = said != m_text->text();
    m_text->setText(said);
    setAccessibleName(said);
    const bool raised = !said.isEmpty();
    setVisible(raised);
    if (raised && changedText && QAccessible::isActive()) {
        QAccessibleEvent alert(this, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
    if (raised != m_isRaised) {
        m_isRaised = raised;
        Q_EMIT raisedChanged(raised);
    }
}

void CalendarNotice::act()
{
    switch (m_action) {
    case Action::signIn:
        // The accounts live in the desktop's settings; where there are none to open, choosing
        // the calendars again is the next best thing.
        if (QProcess::startDetached(QStringLiteral("gnome-control-center"),
                                    {QStringLiteral("online-accounts")}) ||
            QProcess::startDetached(QStringLiteral("systemsettings"),
                                    {QStringLiteral("kcm_kaccounts")}))
            return;
        m_commands.chooseCalendars->trigger();
        return;
    case Action::chooseCalendars:
        m_commands.chooseCalendars->trigger();
        return;
    case Action::tryAgain:
        m_model.reload();
        return;
    }
}

void CalendarNotice::changeEvent(QEvent* event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        applyColors();
}

void CalendarNotice::applyColors()
{
    // The desktop's warning colours: amber, with text dark enough (or light enough) to read.
    const bool dark = parentWidget()
                          ? parentWidget()->palette().color(QPalette::Window).lightness() < 128
                          : palette().color(QPalette::Window).lightness() < 128;
    const QColor background = dark ? QColor(0x4A, 0x3B, 0x0B) : QColor(0xFF, 0xF4, 0xCE);
    const QColor text = dark ? QColor(0xFF, 0xEB, 0xB0) : QColor(0x3D, 0x2E, 0x00);
    QPalette colors = palette();
    if (colors.color(QPalette::Window) == background && colors.color(QPalette::WindowText) == text)
        return;
    colors.setColor(QPalette::Window, background);
    colors.setColor(QPalette::WindowText, text);
    setPalette(colors);
}

}  // namespace nelvo
