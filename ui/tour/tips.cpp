#include "ui/tour/tips.h"

#include "kit/store/user_defaults.h"
#include "ui/tour/callout_bubble.h"
#include "ui/tour/tour.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

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
    return tip == Tip::addZone ? "tips.addZone.shown" : "tips.events.shown";
}

const char* Tips::anchorName(Tip tip)
{
    return tip == Tip::addZone ? "tip.addZone" : "tour.events";
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
    for (Tip tip : {Tip::addZone, Tip::events}) {
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
        auto* layout = new QHBoxLayout(m_bubble);
        const int a = TourAnchor::arrowSize;
        layout->setContentsMargins(a + 12, a + 10, a + 6, a + 10);
        layout->addWidget(text, 1);
        layout->addWidget(close, 0, Qt::AlignTop);
        connect(close, &QToolButton::clicked, this, [this] { dismiss(m_showing); });
    }
    m_showing = tip;
    auto* text = m_bubble->findChild<QLabel*>(QStringLiteral("tipText"));
    text->setText(QString::fromUtf8(tip == Tip::addZone ? addZoneText : eventsText));
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
