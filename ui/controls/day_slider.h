#pragma once

#include <QSlider>

namespace nelvo {

class AvailabilityModel;

// How many included days are shared, 1 to 14, bound to the model's day count.
class DaySlider : public QSlider {
    Q_OBJECT

public:
    static constexpr int minimumDays = 1;
    static constexpr int maximumDays = 14;

    explicit DaySlider(AvailabilityModel& model, QWidget* parent = nullptr);

    // True while the handle is held.
    bool isAdjusting() const { return m_adjusting; }

Q_SIGNALS:
    void adjustingChanged(bool adjusting);

private:
    void setAdjusting(bool adjusting);
    void showModelCount();

    AvailabilityModel& m_model;
    bool m_adjusting = false;
};

}  // namespace nelvo
