#pragma once

// moc stumbles on C++20 library headers; it needs none of these to read the class.
#ifndef Q_MOC_RUN
#include "kit/core/date.h"
#include "kit/core/slot.h"
#include "kit/core/window_overrides.h"
#endif

#include <QRect>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace nelvo {

// One free slot of a day: a green band with its range in the primary zone and, as many as
// fit, in the other rulers' zones. Dragging its top or bottom edge trims it (inward) or gives
// back trimmed time (outward, as far as the reach allows); while it moves, the edge and the
// texts show where the release will land. An edge that is the day's window edge moves the
// day's window instead. Double-click restores.
class FreeBandView : public QWidget {
    Q_OBJECT

public:
    // The earliest top and the latest bottom y in the parent that the edges may reach.
    using ReachProvider = std::function<std::pair<double, double>()>;
    // What a release at `y` of the parent would make of the band: where the dragged edge
    // lands (none: the whole band goes) and the texts it would show.
    struct TrimOutcome {
        std::optional<double> edgeY;
        QString range;
        QStringList otherZones;
    };
    using TrimProvider = std::function<TrimOutcome(WindowEdge edge, double y)>;

    explicit FreeBandView(QWidget* parent);

    struct Content {
        Slot slot;
        std::pair<Date, Date> window;  // the day's window instants
        QString range;                 // in the primary zone
        QStringList otherZones;        // "Tokyo 2:00am – 5:00am (Tue)", ruler order
        double top = 0;                // in the parent
        double bottom = 0;
        int x = 0;
        int width = 0;
        std::vector<QRect> keepClear;  // in the parent: marks over the band its texts avoid

        bool operator==(const Content&) const = default;
    };

    void setContent(const Content& content, ReachProvider reach, TrimProvider trim);
    const Content& content() const { return m_content; }
    // The range as drawn: during a trim drag, the one the release would give.
    const QString& shownRange() const;
    // How many of the other zones fit the band's height at a line each.
    int otherLineCount() const;
    // The other zones' lines as drawn: one per zone that fits, elided to the band's width.
    QStringList shownOtherLines() const;
    bool isHovering() const { return m_isHovering; }

    // The actions of the band, for the keyboard and assistive technologies.
    void trimStart() { Q_EMIT nudged(WindowEdge::start, 15); }
    void trimEnd() { Q_EMIT nudged(WindowEdge::end, -15); }
    void restore() { Q_EMIT restoreRequested(); }

Q_SIGNALS:
    // An edge released at `y` of the parent after a trim drag.
    void trimmed(WindowEdge edge, double y);
    // An edge moved by `minutes` (positive: later).
    void nudged(WindowEdge edge, int minutes);
    void restoreRequested();
    // The band's edge is the day's window edge: the drag moves the day's window.
    void dayEdgeDragged(WindowEdge edge, double y);
    void dayEdgeDragEnded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    static constexpr double otherLineHeight = 15;
    // How many lines of the other zones' times the band's height holds.
    int lineRoom() const;
    QRectF textArea() const;
    double firstOtherLineTop() const;
    // The width a line of text at `top` may take, clear of the marks over the band.
    double lineWidth(double top, double lineHeight) const;
    std::optional<WindowEdge> edgeAt(double y) const;
    void applyGeometry();

    const QStringList& shownOtherZones() const;

    Content m_content;
    ReachProvider m_reach;
    TrimProvider m_trim;
    // During a trim drag: what the release would give.
    std::optional<TrimOutcome> m_outcome;
    // Live edges during a trim drag, in the parent.
    double m_dragTop = 0;
    double m_dragBottom = 0;
    bool m_isHovering = false;

    struct Drag {
        WindowEdge edge;
        bool movesDayEdge;
        double pressGlobalY;
        double origin;  // the dragged edge's y when the drag began
        double reachTop;
        double reachBottom;
        bool moved = false;
        double releaseY = 0;  // the pointer's edge, within the reach
    };
    std::optional<Drag> m_drag;
};

}  // namespace nelvo
