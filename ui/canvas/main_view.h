#pragma once

// moc stumbles on C++20 library headers; it needs none of these to read the class.
#ifndef Q_MOC_RUN
#include "ui/canvas/column_context.h"
#endif

#include <QWidget>

#include <optional>
#include <vector>

class QScrollArea;

namespace nelvo {

class AvailabilityModel;
class DayColumnView;
class DayHeaderView;
class EdgeFadeView;
class UserDefaults;
class ZoneAxisView;
class ZoneNamesRow;

// The canvas: the zone names and day headers on top, the zone axis on the left, and one
// column per day of the range against the hours, scrolling in both directions. Owns the
// zoom (kept under "canvas.pointsPerHour") and the model's undo animation. The page that
// shows it refreshes the model's day every minute.
class MainView : public QWidget {
    Q_OBJECT

public:
    static constexpr const char* zoomKey = "canvas.pointsPerHour";
    // Zoom steps of one wheel notch with Ctrl held.
    static constexpr double wheelZoomPerNotch = 1.1;

    MainView(AvailabilityModel& model, UserDefaults& defaults, QWidget* parent = nullptr);
    ~MainView() override;

    // The stored zoom, the zoom at which the hours fill the viewport, and the one drawn.
    double storedZoom() const { return m_pointsPerHour; }
    double fitZoom() const;
    double effectiveZoom() const;
    // Zooms to `target` (clamped) keeping the time at `anchor` (y within the viewport) in
    // place, and stores the zoom.
    void setZoom(double target, double anchor);

    double verticalOffset() const;
    void setVerticalOffset(double offset);
    int viewportHeight() const;
    bool moreBelow() const;
    bool moreLeading() const;
    bool moreTrailing() const;

    const std::vector<DayColumnView*>& columns() const { return m_columns; }
    const std::vector<DayHeaderView*>& headers() const { return m_headers; }
    ZoneAxisView* zoneAxis() const { return m_axis; }
    ZoneNamesRow* namesRow() const { return m_names; }
    QScrollArea* scrollArea() const { return m_scroll; }
    const ColumnContext& context() const { return m_context; }
    // Opens the zone search under the add button.
    QWidget* openZoneSearch();

public Q_SLOTS:
    void zoomIn();
    void zoomOut();
    void zoomReset();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void relayout();
    void updateColumns();
    void updateScrollState();
    void updateTourAnchors();
    void updateTabOrder();
    ColumnContext makeContext(double pointsPerHour) const;
    double zoomForHeight(double height) const;

    AvailabilityModel& m_model;
    UserDefaults& m_defaults;
    double m_pointsPerHour;
    ColumnContext m_context;

    ZoneNamesRow* m_names;
    ZoneAxisView* m_axis;
    QWidget* m_headerStrip;
    QWidget* m_headerContent;
    QScrollArea* m_scroll;
    QWidget* m_canvas;
    EdgeFadeView* m_fades;
    std::vector<DayColumnView*> m_columns;
    std::vector<DayHeaderView*> m_headers;
    // The focus order last set, to set it again only when the controls change.
    std::vector<QWidget*> m_tabChain;
    bool m_animateNext = false;
    bool m_hooksInstalled = false;
    bool m_inLayout = false;

    struct PinchOrigin {
        double pointsPerHour;
        double offset;
        double anchor;
        double magnification;
    };
    std::optional<PinchOrigin> m_pinchOrigin;
};

}  // namespace nelvo
