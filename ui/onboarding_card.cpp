#include "ui/onboarding_card.h"

#include "ui/symbols.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace nelvo {

namespace {

constexpr int symbolSize = 72;
constexpr int cardWidth = 480;
constexpr int sideMargin = 40;
constexpr qreal cornerRadius = 14;

// Wrapped text gets the height it needs at the card's fixed width; the stack that holds the
// cards would otherwise give it only one line's worth.
void fitHeight(QLabel* label)
{
    label->setMinimumHeight(
        label->text().isEmpty() ? 0 : label->heightForWidth(cardWidth - 2 * sideMargin));
}

}  // namespace

OnboardingCard::OnboardingCard(const QString& symbol, const QString& title, const QString& body,
                               QWidget* parent)
    : QWidget(parent), m_symbol(symbol), m_title(new QLabel(title, this)),
      m_body(new QLabel(body, this)), m_note(new QLabel(this)), m_actions(new QHBoxLayout)
{
    setObjectName(QStringLiteral("onboardingCard"));
    setFixedWidth(cardWidth);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Maximum);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("symbol"));
    picture->setPixmap(Symbols::bundled(symbol).pixmap(symbolSize, symbolSize, QIcon::Normal));
    picture->setAlignment(Qt::AlignCenter);
    picture->setMinimumHeight(symbolSize);
    picture->setAccessibleName(QString());

    QFont titleFont = font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.7);
    titleFont.setWeight(QFont::DemiBold);
    m_title->setFont(titleFont);
    m_title->setObjectName(QStringLiteral("title"));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setWordWrap(true);

    QFont bodyFont = font();
    bodyFont.setPointSizeF(bodyFont.pointSizeF() * 1.1);
    for (QLabel* label : {m_body, m_note}) {
        label->setFont(bodyFont);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
    }
    m_body->setObjectName(QStringLiteral("body"));
    m_note->setObjectName(QStringLiteral("note"));
    // Amber reads as "needs you" on light and dark backgrounds alike.
    QPalette notePalette = m_note->palette();
    notePalette.setColor(QPalette::WindowText, QColor(0xb2, 0x5e, 0x00));
    m_note->setPalette(notePalette);
    m_note->hide();
    fitHeight(m_title);
    fitHeight(m_body);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(sideMargin, 36, sideMargin, 32);
    layout->setSpacing(14);
    layout->addWidget(picture);
    layout->addWidget(m_title);
    layout->addWidget(m_body);
    layout->addWidget(m_note);
    layout->addSpacing(10);
    m_actions->setSpacing(10);
    m_actions->addStretch(1);
    m_actions->addStretch(1);
    layout->addLayout(m_actions);
}

QString OnboardingCard::title() const
{
    return m_title->text();
}

QString OnboardingCard::body() const
{
    return m_body->text();
}

QString OnboardingCard::note() const
{
    return m_note->text();
}

void OnboardingCard::setNote(const QString& note)
{
    m_note->setText(note);
    fitHeight(m_note);
    m_note->setVisible(!note.isEmpty());
}

QPushButton* OnboardingCard::addAction(const QString& text)
{
    auto* button = new QPushButton(text, this);
    button->setMinimumWidth(140);
    button->setAutoDefault(true);
    if (actions().isEmpty())
        button->setDefault(true);
    // Between the two stretches, so the row stays centred.
    m_actions->insertWidget(m_actions->count() - 1, button);
    return button;
}

void OnboardingCard::clearActions()
{
    for (QPushButton* button : actions()) {
        // A button may be clearing the row from its own click handler.
        m_actions->removeWidget(button);
        button->hide();
        button->deleteLater();
    }
}

QList<QPushButton*> OnboardingCard::actions() const
{
    QList<QPushButton*> buttons;
    for (int i = 0; i < m_actions->count(); ++i) {
        if (auto* button = qobject_cast<QPushButton*>(m_actions->itemAt(i)->widget()))
            buttons.append(button);
    }
    return buttons;
}

void OnboardingCard::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath card;
    card.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius, cornerRadius);
    painter.fillPath(card, palette().base());
    QColor edge = palette().color(QPalette::WindowText);
    edge.setAlphaF(0.12);
    painter.setPen(QPen(edge, 1));
    painter.drawPath(card);
}

}  // namespace nelvo
