#include "ui/controls/day_slider.h"

#include "app/availability_model.h"

#include <algorithm>

namespace nelvo {

DaySlider::DaySlider(AvailabilityModel& model, QWidget* parent)
    : QSlider(Qt::Horizontal, parent), m_model(model)
{
    setObjectName(QStringLiteral("tour.days"));
    setRange(minimumDays, maximumDays);
    setSingleStep(1);
    setPageStep(1);
    setFixedWidth(160);
    setTickPosition(QSlider::NoTicks);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Days to show"));
    setAccessibleDescription(QStringLiteral("Days shown"));
    setToolTip(QStringLiteral("Days to show"));
    showModelCount();

    connect(this, &QSlider::valueChanged, this, [this](int value) {
        if (value != m_model.settings().dayCount)
            m_model.setDayCount(value);
    });
    connect(this, &QSlider::sliderPressed, this, [this] { setAdjusting(true); });
    connect(this, &QSlider::sliderReleased, this, [this] { setAdjusting(false); });
    connect(&m_model, &AvailabilityModel::settingsChanged, this, &DaySlider::showModelCount);
}

void DaySlider::showModelCount()
{
    const auto count =
        std::clamp<std::int64_t>(m_model.settings().dayCount, minimumDays, maximumDays);
    if (value() != count) {
        const QSignalBlocker quiet(this);
        setValue(static_cast<int>(count));
    }
}

void DaySlider::setAdjusting(bool adjusting)
{
    if (m_adjusting == adjusting)
        return;
    m_adjusting = adjusting;
    Q_EMIT adjustingChanged(adjusting);
}

}  // namespace nelvo
