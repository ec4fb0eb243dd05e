#pragma once

// moc stumbles on C++20 library headers; it needs none of these to read the class.
#ifndef Q_MOC_RUN
#include "kit/core/time_zone.h"
#include "ui/canvas/column_geometry.h"
#endif

#include <QWidget>

#include <optional>
#include <utility>
#include <vector>

namespace nelvo {

// The hour labels of one zone at the canvas hours: the wall time in that zone of each hour
// line of the primary zone's first day, with the weekday where that zone is on another day.
class RulerHoursView : public QWidget {
    Q_OBJECT

public:
    explicit RulerHoursView(QWidget* parent);

    struct Content {
        std::optional<TimeZone> zone;  // empty: the ruler's zone does not resolve
        TimeZone primary = TimeZone::utc();
        Date day;
        ColumnGeometry geometry;
        bool use24Hour = false;
        bool isPrimary = false;

        bool operator==(const Content&) const = default;
    };
    void setContent(const Content& content);

    struct Label {
        double y = 0;
        QString time;
        QString weekday;  // set where the zone's date differs from the label above
    };
    const std::vector<Label>& labels() const { return m_labels; }
    // Where the time drawn across `y` lies, left to right in this view; nothing when no
    // label is drawn there.
    std::optional<std::pair<double, double>> labelSpan(double y) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The fonts and spacing of the labels; kept, since the shared handles ask where the
    // labels lie on every scroll.
    struct Look {
        QFont timeFont;
        QFont dayFont;
        double lineHeight = 0;
        int every = 1;  // 2: every other label, where they would overlap
    };
    const Look& look() const;
    // The label's top, or nothing when it is left out for want of room.
    std::optional<double> shownTop(std::size_t index, const Look& look) const;

    Content m_content;
    std::vector<Label> m_labels;
    mutable std::optional<Look> m_look;
};

}  // namespace nelvo
