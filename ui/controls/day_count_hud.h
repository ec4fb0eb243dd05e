#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>

class QTimer;
class QVariantAnimation;

namespace nelvo {

class AvailabilityModel;

// The floating day count over the canvas: shown while the day slider is held and briefly
// after the count changes, then faded out.
class DayCountHUD : public QWidget {
    Q_OBJECT

public:
    // How long the count stays after the slider is let go, and after a change from a menu
    // command or the keyboard.
    static constexpr int hideAfterAdjustingMilliseconds = 650;
    static constexpr int hideAfterChangeMilliseconds = 900;

    // Floats over `host`, near its top edge, centred.
    DayCountHUD(AvailabilityModel& model, QWidget* host);

    // Connected to DaySlider::adjustingChanged.
    void setAdjusting(bool adjusting);
    bool isAdjusting() const { return m_adjusting; }
    bool isHidePending() const;
    QString text() const { return m_text; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void countChanged();
    void appear();
    void place();

    AvailabilityModel& m_model;
    std::int64_t m_count;
    QString m_text;
    QString m_previousText;
    bool m_countGrew = true;
    bool m_adjusting = false;
    QTimer* m_hide;
    QVariantAnimation* m_roll;
};

}  // namespace nelvo
