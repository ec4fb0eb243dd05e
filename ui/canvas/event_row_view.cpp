#include "ui/canvas/event_row_view.h"

#include "ui/canvas/canvas_style.h"
#include "ui/canvas/canvas_text.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace nelvo {

namespace {

QLabel* label(const QString& text, const QFont& font, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setFont(font);
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(true);
    return l;
}

}  // namespace

EventRowView::EventRowView(const Content& content, QWidget* parent)
    : QWidget(parent), m_content(content)
{
    using State = BusyClassifier::EventState;
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(18, 6, 6, 6);
    row->setSpacing(8);
    auto* text = new QVBoxLayout;
    text->setSpacing(1);
    // Titles are for the eyes of the user at the screen; no accessible name carries one.
    auto* title = label(QString::fromStdString(content.event.title),
                        CanvasStyle::font(font(), 0, true), this);
    title->setAccessibleName(content.time);
    text->addWidget(title);
    auto* time = label(content.time + QStringLiteral(" · ") + content.calendarName,
                       CanvasStyle::font(font(), -1), this);
    text->addWidget(time);
    if (!content.overlaps.isEmpty()) {
        auto* overlaps =
            label(QStringLiteral("Overlaps ") + content.overlaps.join(QStringLiteral(", ")),
                  CanvasStyle::font(font(), -1.5), this);
        overlaps->setAccessibleName(QStringLiteral("Overlaps ") +
                                    CanvasText::eventCount(content.overlaps.size()));
        text->addWidget(overlaps);
    }
    row->addLayout(text, 1);

    // The row as a screen reader says it: time, calendar and why it counts or not, never the
    // title.
    QString description = content.time;
    if (!content.calendarName.isEmpty())
        description += QStringLiteral(", ") + content.calendarName;
    description +=
        QStringLiteral(", ") + QString::fromLatin1(BusyClassifier::reasonText(content.reason));
    if (content.state == State::ignored)
        description += QStringLiteral(", ") + QString::fromLatin1(CanvasText::notCountedTag);

    auto* tag = new QLabel(tagText(), this);
    tag->setFont(CanvasStyle::font(font(), -2, true));
    tag->setAlignment(Qt::AlignRight | Qt::AlignTop);
    tag->setToolTip(QString::fromLatin1(BusyClassifier::reasonText(content.reason)));
    QPalette tagPalette = tag->palette();
    tagPalette.setColor(QPalette::WindowText, content.state == State::movable
                                                  ? CanvasStyle::bandBorder(palette())
                                                  : CanvasStyle::secondaryText(palette()));
    tag->setPalette(tagPalette);
    row->addWidget(tag, 0, Qt::AlignTop);
    if (content.state != State::ignored) {
        const bool freed = content.state == State::movable;
        m_action = new QToolButton(this);
        m_action->setAutoRaise(true);
        const QString name =
            QString::fromLatin1(freed ? CanvasText::makeBusyAgain : CanvasText::freeThisTime);
        m_action->setToolTip(name);
        m_action->setAccessibleName(name);
        m_action->setAccessibleDescription(description);
        m_action->setFocusPolicy(Qt::StrongFocus);
        // The focus is drawn plainly: auto-raised tool buttons show none of their own.
        m_action->setStyleSheet(QStringLiteral(
            "QToolButton:focus { border: 2px solid palette(highlight); border-radius: 4px; }"));
        const QIcon icon = freed
                               ? QIcon::fromTheme(QStringLiteral("edit-undo-symbolic"),
                                                  QIcon::fromTheme(QStringLiteral("edit-undo")))
                               : QIcon::fromTheme(QStringLiteral("window-close-symbolic"),
                                                  QIcon::fromTheme(QStringLiteral("window-close")));
        if (icon.isNull())
            m_action->setText(freed ? QStringLiteral("↺") : QStringLiteral("×"));
        else
            m_action->setIcon(icon);
        connect(m_action, &QToolButton::clicked, this,
                [this] { Q_EMIT actionTriggered(m_content.event); });
        row->addWidget(m_action, 0, Qt::AlignTop);
    }
    setAccessibleName(description);
}

QString EventRowView::tagText() const
{
    QString text = QString::fromLatin1(BusyClassifier::reasonTag(m_content.reason));
    if (m_content.state == BusyClassifier::EventState::ignored)
        text += QLatin1Char('\n') + QString::fromLatin1(CanvasText::notCountedTag);
    return text;
}

void EventRowView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QColor colour = m_content.calendarColour.isValid() ? m_content.calendarColour
                                                       : palette().color(QPalette::Highlight);
    if (m_content.state == BusyClassifier::EventState::ignored)
        colour.setAlphaF(0.45f);
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(6, 11, 8, 8));
}

}  // namespace nelvo
