#pragma once

#include <QList>
#include <QRect>
#include <QString>

#include <optional>

namespace nelvo {

// The window's size and place as kept between launches: "x y width height", then
// " maximized" when it was.
namespace WindowGeometry {

inline constexpr int defaultWidth = 1040;
inline constexpr int defaultHeight = 720;
// A kept frame must show at least this much on one screen to be used again.
inline constexpr int minimumVisible = 120;

struct Frame {
    QRect rect;  // the normal (not maximized) geometry
    bool maximized = false;

    bool operator==(const Frame&) const = default;
};

QString encode(const Frame& frame);
// Nothing when the text is not such a frame or its size is not positive.
std::optional<Frame> decode(const QString& text);
// The kept frame when enough of it lies on one of the screens' available areas (a screen
// that was unplugged, a resolution that shrank); otherwise nothing, and the window opens at
// its default size.
std::optional<Frame> usable(const QString& text, const QList<QRect>& screens);
// `rect` made no larger than the available area of the screen it shows most on, and moved
// inside that area; as it is when there are no screens.
QRect fitted(const QRect& rect, const QList<QRect>& screens);

}  // namespace WindowGeometry

}  // namespace nelvo
