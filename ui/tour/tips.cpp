#include "ui/tour/tips.h"

#include "kit/store/user_defaults.h"
#include "ui/tour/callout_bubble.h"
#include "ui/tour/tour.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace nelvo {

Tips::Tips(UserDefaults& defaults, bool demo, QWidget* host, Tour* tour)
    : QObject(host), m_defaults(defaults), m_demo(demo), m_host(host), m_tour(tour)
{
    if (m_tour)
        connect(m_tour, &Tour::stepChanged, this, [this] {
            if (m_tour->isRunning()) {
                if (m_bubble)
                    m_bubble->hide();
            } else {
                offer();
            }
        });
}

const char* Tips::defaultsKey(Tip tip)
{
    switch (tip) {
    case Tip::addZone:
        return "tips.addZone.shown";
    case Tip::events:
        return "tips.events.shown";
    case Tip::addresses:
        return "tips.addresses.shown";
    }
    return "";
}

const char* Tips::anchorName(Tip tip)
{
    return tip == Tip::addZone ? "tip.addZone" : "tour.events";
}

void Tips::setAddressesTip(std::function<bool()> needed, std::function<void()> open)
{
    m_addressesNeeded = std::move(needed);
    m_openAddresses = std::move(open);
}

bool Tips::wasShown(Tip tip) const
{
    return m_defaults.boolValue(defaultsKey(tip)).value_or(false);
}

bool Tips::isShowing(Tip tip) const
{
    return m_bubble && m_bubble->isVisible() && m_showing == tip;
}

void Tips::offer()
{
    if (m_demo || !m_host || (m_tour && m_tour->isRunning()))
        return;
    if (m_bubble && m_bubble->isVisible())
        return;
    for (Tip tip : {Tip::addresses, Tip::addZone, Tip::events}) {
        if (tip == Tip::addresses && !(m_addressesNeeded && m_addressesNeeded()))
            continue;
        if (!wasShown(tip) && TourAnchor::find(m_host, QString::fromLatin1(anchorName(tip)))) {
            show(tip);
            return;
        }
    }
}

void Tips::show(Tip tip)
{
    if (!m_bubble) {
        m_bubble = new CalloutBubble(m_host);
        m_bubble->setObjectName(QStringLiteral("tipBubble"));
        m_bubble->setFixedWidth(280 + 2 * TourAnchor::arrowSize);
        auto* text = new QLabel(m_bubble);
        text->setObjectName(QStringLiteral("tipText"));
        text->setWordWrap(true);
        auto* close = new QToolButton(m_bubble);
        close->setText(QStringLiteral("\u00D7"));
        close->setAutoRaise(true);
        close->setAccessibleName(QStringLiteral("Close tip"));
        m_action = new QPushButton(QString::fromLatin1(addressesAction), m_bubble);
        auto* column = new QVBoxLayout;
        column->addWidget(text);
        column->addWidget(m_action, 0, Qt::AlignLeft);
        auto* layout = new QHBoxLayout(m_bubble);
        const int a = TourAnchor::arrowSize;
        layout->setContentsMargins(a + 12, a + 10, a + 6, a + 10);
        layout->addLayout(column, 1);
        layout->addWidget(close, 0, Qt::AlignTop);
        connect(close, &QToolButton::clicked, this, [this] { dismiss(m_showing); });
        connect(m_action, &QPushButton::clicked, this, [this] {
            dismiss(Tip::addresses);
            if (m_openAddresses)
                m_openAddresses();
        });
    }
    m_showing = tip;
    auto* text = m_bubble->findChild<QLabel*>(QStringLiteral("tipText"));
    const char* words = tip == Tip::addZone  ? addZoneText
                        : tip == Tip::events ? eventsText
                                             : addressesText;
    text->setText(QString::fromUtf8(words));
    m_action->setVisible(tip == Tip::addresses);
    m_bubble->setAccessibleName(text->text());
    m_bubble->setAnchorName(QString::fromLatin1(anchorName(tip)));
    m_bubble->present();
    // Using the control is as good as reading the tip.
    if (m_watched)
        m_watched->removeEventFilter(this);
    m_watched = m_bubble->anchorWidget();
    if (m_watched)
        m_watched->installEventFilter(this);
}

void Tips::dismiss(Tip tip)
{
    m_defaults.setBool(defaultsKey(tip), true);
    if (isShowing(tip))
        m_bubble->hide();
    if (m_watched) {
        m_watched->removeEventFilter(this);
        m_watched = nullptr;
    }
}

bool Tips::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_watched && event->type() == QEvent::MouseButtonRelease)
        dismiss(m_showing);
    return QObject::eventFilter(watched, event);
}

}  // namespace nelvo
