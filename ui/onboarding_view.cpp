#include "ui/onboarding_view.h"

#include "ui/onboarding_card.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

#include <algorithm>

namespace nelvo {

namespace {

// Where the user stands among the pages: one dot per page, the current one filled.
class PageDots : public QWidget {
public:
    PageDots(int count, QWidget* parent) : QWidget(parent), m_count(count)
    {
        setFixedSize(count * 16, 12);
        setAccessibleName(QString());
    }
    void setCurrent(int current)
    {
        m_current = current;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        for (int i = 0; i < m_count; ++i) {
            QColor color = palette().color(QPalette::WindowText);
            color.setAlphaF(i == m_current ? 0.7 : 0.2);
            painter.setBrush(color);
            painter.drawEllipse(QPointF(8 + i * 16, 6), 3.5, 3.5);
        }
    }

private:
    int m_count;
    int m_current = 0;
};

const char* const symbols[] = {"calendar.badge.clock", "lock.shield", "hand.raised"};

}  // namespace

QString OnboardingView::title(int page)
{
    switch (page) {
    case 0:
        return QStringLiteral("Share when you're free.");
    case 1:
        return QStringLiteral("Only times leave the app.");
    default:
        return QStringLiteral("Allow calendar access.");
    }
}

QString OnboardingView::body(int page)
{
    switch (page) {
    case 0:
        return QStringLiteral(
            "Nelvo finds your availability and turns it into an easy-to-read message, in any "
            "time zones you choose. Paste it into a chat, an email, or a text. Send that, not a "
            "booking link.");
    case 1:
        return QStringLiteral(
            "No titles, no people, no calendar names. Nothing is uploaded anywhere.");
    default:
        // Access here is the user's choice of calendar files and folders, made once.
        return QStringLiteral("You choose your calendars once. Nelvo only ever reads.");
    }
}

QString OnboardingView::deniedText()
{
    return QStringLiteral(
        "Calendar access is off for Nelvo. Choose your calendars in Privacy Settings; Nelvo "
        "checks again when it comes to the front.");
}

OnboardingView::OnboardingView(CalendarAccess& access, CalendarAccess::Chooser chooser,
                               bool accessOnly, bool demo, QWidget* parent)
    : QWidget(parent), m_access(access), m_chooser(std::move(chooser)), m_accessOnly(accessOnly),
      m_demo(demo), m_page(accessOnly ? lastPage : 0), m_cards(lastPage + 1, nullptr)
{
    setObjectName(QStringLiteral("onboarding"));
    auto* outer = new QVBoxLayout(this);
    outer->addStretch(1);

    auto* holder = new QWidget(this);
    m_pages = new QStackedLayout(holder);
    for (int page = accessOnly ? lastPage : 0; page <= lastPage; ++page) {
        m_cards[page] = makeCard(page);
        m_pages->addWidget(m_cards[page]);
    }
    outer->addWidget(holder, 0, Qt::AlignHCenter);

    auto* dots = new PageDots(lastPage + 1, this);
    m_dots = dots;
    m_dots->setVisible(!accessOnly);
    outer->addSpacing(16);
    outer->addWidget(m_dots, 0, Qt::AlignHCenter);
    outer->addStretch(1);

    connect(&m_access, &CalendarAccess::stateChanged, this, [this] {
        updateAccessCard();
        // Access may come back from outside (the command line chose a calendar, a file
        // returned) while the access page is shown.
        if (m_page == lastPage)
            finishIfGranted();
    });
    updateAccessCard();
    setPage(m_page);
}

OnboardingCard* OnboardingView::makeCard(int page)
{
    auto* card = new OnboardingCard(QLatin1String(symbols[page]), title(page), body(page), this);
    if (page < lastPage) {
        QPushButton* next = card->addAction(tr("Continue"));
        connect(next, &QPushButton::clicked, this, [this, page] { setPage(page + 1); });
    }
    return card;
}

void OnboardingView::updateAccessCard()
{
    OnboardingCard* card = m_cards[lastPage];
    const bool denied = !m_demo && m_access.state() == CalendarAccess::State::denied;
    card->clearActions();
    card->setNote(denied ? deniedText() : QString());
    QPushButton* button =
        card->addAction(denied ? tr("Open Privacy Settings") : tr("Allow access"));
    connect(button, &QPushButton::clicked, this,
            denied ? &OnboardingView::reopenChooser : &OnboardingView::allowAccess);
    if (m_page == lastPage && isVisible())
        button->setFocus();
}

void OnboardingView::setPage(int page)
{
    page = std::clamp(page, m_accessOnly ? lastPage : 0, lastPage);
    const bool changed = page != m_page;
    m_page = page;
    m_pages->setCurrentWidget(m_cards[page]);
    static_cast<PageDots*>(m_dots)->setCurrent(page);
    if (auto buttons = m_cards[page]->actions(); !buttons.isEmpty())
        buttons.front()->setFocus();
    if (changed)
        Q_EMIT pageChanged(page);
}

void OnboardingView::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier) {
        if (auto buttons = card()->actions(); !buttons.isEmpty()) {
            buttons.front()->animateClick();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

OnboardingCard* OnboardingView::card() const
{
    return m_cards[m_page];
}

void OnboardingView::allowAccess()
{
    if (m_demo) {
        m_finished = true;
        Q_EMIT finished();
        return;
    }
    m_access.requestAccess(m_chooser);
    finishIfGranted();
}

void OnboardingView::reopenChooser()
{
    m_access.chooseLocations(m_chooser);
    finishIfGranted();
}

void OnboardingView::finishIfGranted()
{
    if (m_finished || m_access.state() != CalendarAccess::State::granted)
        return;
    m_finished = true;
    Q_EMIT finished();
}

}  // namespace nelvo
