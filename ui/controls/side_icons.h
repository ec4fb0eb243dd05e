#pragma once

#include <QIcon>

class QColor;
class QPixmap;

namespace nelvo {

// Icons of the desktop's theme, with the bundled pictures of the side controls and the tour
// where the theme has none, drawn in the palette's text colour.
namespace SideIcons {

QIcon icon(const char* themeName, const char* fallbackResource);
// The icon drawn in one colour, at `size` device-independent pixels.
QPixmap tinted(const QIcon& icon, int size, const QColor& color, qreal devicePixelRatio = 1.0);

QIcon calendar();
QIcon settings();
QIcon search();

}  // namespace SideIcons

}  // namespace nelvo
