#pragma once

// moc stumbles on C++20 library headers; it needs none of these to read the class.
#ifndef Q_MOC_RUN
#include "kit/core/window_overrides.h"
#endif

#include <QWidget>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

class QVariantAnimation;

namespace nelvo {

// One day's start or end of availability: a horizontal bar with its time label. Orange when
// it follows the shared window, blue when the day overrides it. The parent places it (its
// vertical centre is the edge's y) and turns what it reports into model operations. Focused,
// the arrow keys move it a quarter hour and Delete makes a day's own bar follow the shared
// one again.
class CutoffBarView : public QWidget {
    Q_OBJECT

public:
    CutoffBarView(WindowEdge edge, QWidget* parent);

    WindowEdge edge() const { return m_edge; }
    std::int64_t minutes() const { return m_minutes; }
    bool isOverride() const { return m_isOverride; }
    const QString& timeLabel() const { return m_timeLabel; }

    // The edge's minute of the day (for the value interface), its label and colour.
    void setState(std::int64_t minutes, const QString& timeLabel, bool isOverride);
    // Places the bar's centre at `y` of the parent, over `width`; with `animated` the bar
    // springs there.
    void place(double y, int x, int width, bool animated);
    double centreY() const { return m_centreY; }
    // Stretches, left to right in the bar, that the line leaves out so that text drawn
    // beneath it stays readable.
    void setGaps(std::vector<std::pair<double, double>> gaps);
    bool isDragging() const { return m_dragOrigin.has_value(); }

    // Keyboard and accessibility adjustments: minutes later (positive) or earlier.
    void nudge(int deltaMinutes) { Q_EMIT nudged(deltaMinutes); }
    // A day's own bar follows the shared one again, as a double-click does; nothing for a
    // bar that already follows it.
    void followShared();

Q_SIGNALS:
    // The bar's new centre y in the parent: where the drag began plus the pointer's travel.
    void dragged(double y);
    void dragEnded();
    // Only for a bar that overrides the shared window.
    void doubleClicked();
    void nudged(int deltaMinutes);

protected:
    // A name that does not change with the state (the shared handles').
    void setFixedName(const QString& name);
    virtual QColor barColour() const;
    virtual QString label() const { return m_timeLabel; }

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void updateName();

    WindowEdge m_edge;
    QString m_fixedName;
    std::int64_t m_minutes = 0;
    QString m_timeLabel;
    bool m_isOverride = false;
    double m_centreY = 0;
    std::optional<double> m_dragOrigin;
    double m_pressGlobalY = 0;
    bool m_pressed = false;
    QVariantAnimation* m_spring = nullptr;
    std::vector<std::pair<double, double>> m_gaps;
};

}  // namespace nelvo
