#include "ui/controls/day_count_hud.h"

#include "app/availability_model.h"
#include "ui/controls/free_time_choices.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QVariantAnimation>

namespace nelvo {

DayCountHUD::DayCountHUD(AvailabilityModel& model, QWidget* host)
    : QWidget(host), m_model(model), m_count(model.settings().dayCount),
      m_text(QString::fromStdString(FreeTimeChoices::dayCountText(m_count))),
      m_hide(new QTimer(this)), m_roll(new QVariantAnimation(this))
{
    setObjectName(QStringLiteral("dayCountHud"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QStringLiteral("Days shown"));
    hide();

    m_hide->setSingleShot(true);
    connect(m_hide, &QTimer::timeout, this, &QWidget::hide);

    // The number rolls to its new value, up when it grows and down when it shrinks.
    m_roll->setStartValue(0.0);
    m_roll->setEndValue(1.0);
    m_roll->setDuration(180);
    m_roll->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_roll, &QVariantAnimation::valueChanged, this, [this] { update(); });

    connect(&m_model, &AvailabilityModel::settingsChanged, this, &DayCountHUD::countChanged);
    if (host)
        host->installEventFilter(this);
}

bool DayCountHUD::isHidePending() const
{
    return m_hide->isActive();
}

void DayCountHUD::setAdjusting(bool adjusting)
{
    m_adjusting = adjusting;
    if (adjusting) {
        m_hide->stop();
        appear();
    } else if (isVisible()) {
        m_hide->start(hideAfterAdjustingMilliseconds);
    }
}

void DayCountHUD::countChanged()
{
    const std::int64_t count = m_model.settings().dayCount;
    if (count == m_count)
        return;
    m_countGrew = count > m_count;
    m_count = count;
    m_previousText = m_text;
    m_text = QString::fromStdString(FreeTimeChoices::dayCountText(count));
    setAccessibleDescription(m_text);
    const bool wasVisible = isVisible();
    appear();
    if (wasVisible)
        m_roll->start();
    if (m_adjusting)
        m_hide->stop();
    else
        m_hide->start(hideAfterChangeMilliseconds);
    update();
}

void DayCountHUD::appear()
{
    place();
    show();
    raise();
}

QSize DayCountHUD::sizeHint() const
{
    QFont big = font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setWeight(QFont::DemiBold);
    const QFontMetrics metrics(big);
    const int textWidth = metrics.horizontalAdvance(QStringLiteral("14 days"));
    return {textWidth + 48, metrics.height() + 28};
}

void DayCountHUD::place()
{
    const QWidget* host = parentWidget();
    if (!host)
        return;
    resize(sizeHint());
    move((host->width() - width()) / 2, std::min(24, std::max(0, host->height() - height())));
}

bool DayCountHUD::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize && isVisible())
        place();
    return QWidget::eventFilter(watched, event);
}

void DayCountHUD::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath pill;
    pill.addRoundedRect(box, 14, 14);
    QColor fill = palette().color(QPalette::Window);
    fill.setAlpha(238);
    painter.fillPath(pill, fill);
    painter.setPen(QPen(palette().color(QPalette::Mid), 1));
    painter.drawPath(pill);
    painter.setClipPath(pill);

    QFont big = font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setWeight(QFont::DemiBold);
    painter.setFont(big);
    painter.setPen(palette().color(QPalette::WindowText));

    const bool rolling = m_roll->state() == QAbstractAnimation::Running;
    const qreal t = rolling ? m_roll->currentValue().toReal() : 1.0;
    const qreal travel = height() * 0.6 * (m_countGrew ? 1.0 : -1.0);
    if (rolling && !m_previousText.isEmpty()) {
        painter.setOpacity(1.0 - t);
        painter.drawText(QRectF(rect()).translated(0, -travel * t), Qt::AlignCenter,
                         m_previousText);
    }
    painter.setOpacity(t);
    painter.drawText(QRectF(rect()).translated(0, travel * (1.0 - t)), Qt::AlignCenter, m_text);
}

}  // namespace nelvo
