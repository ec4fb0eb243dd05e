#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

class QWidget;

namespace nelvo {

// Where a callout goes beside the control it explains.
namespace TourAnchor {

enum class ArrowEdge { none, top, bottom, left, right };  // the callout's edge with the arrow

struct Placement {
    QPoint topLeft;
    ArrowEdge arrowEdge = ArrowEdge::none;
    int arrowOffset = 0;  // along that edge, from the callout's left or top

    bool operator==(const Placement&) const = default;
};

inline constexpr int margin = 8;
inline constexpr int arrowSize = 9;

// Below the anchor if it fits, else above, else to its right or left; always inside `host`
// (as far as the callout's size allows). Without an anchor, centred in the upper part.
Placement place(QSize host, std::optional<QRect> anchor, QSize callout);

// The first widget named `objectName` under `host` whose part visible inside `host` is not
// empty, as that visible rectangle in host coordinates. Empty when every such control is
// missing, hidden or scrolled out of view.
std::optional<QRect> find(const QWidget* host, const QString& objectName,
                          QWidget** found = nullptr);

}  // namespace TourAnchor

}  // namespace nelvo
