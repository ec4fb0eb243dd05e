#pragma once

#include <QColor>

class QPalette;
class QFont;

namespace nelvo {

// Sizes and colours of the canvas. Sizes are in device-independent pixels; colours follow
// the palette, so the canvas reads well in a light and in a dark theme.
namespace CanvasStyle {

inline constexpr int columnWidth = 180;
inline constexpr int leftOutColumnWidth = 72;
inline constexpr int columnSpacing = 12;
// Above the first hour; it does not scale with the zoom.
inline constexpr double topInset = 8;
inline constexpr int headerHeight = 52;
inline constexpr int rulerWidth = 66;
inline constexpr int rulerSpacing = 4;
inline constexpr int axisPadding = 6;
// Right of the rulers: the add button above, the shared handles' time labels below.
inline constexpr int handleGutter = 60;
// The band of a bar that takes the pointer, and the part of a band's edge that trims.
inline constexpr int barHitHeight = 14;
inline constexpr int bandEdgeHitHeight = 7;
inline constexpr int fadeLength = 18;

bool isDark(const QPalette& palette);
// The WCAG contrast ratio of two opaque colours, 1 to 21; text wants at least 4.5.
double contrast(const QColor& a, const QColor& b);
inline constexpr double minimumTextContrast = 4.5;

QColor canvasBackground(const QPalette& palette);
QColor columnBackground(const QPalette& palette, bool isToday);
QColor leftOutBackground(const QPalette& palette);
QColor hourLine(const QPalette& palette);
// Greyer than the text, yet at least minimumTextContrast against the window, the columns
// and today's column.
QColor secondaryText(const QPalette& palette);

QColor bandFill(const QPalette& palette, bool highlighted);
QColor bandBorder(const QPalette& palette);
QColor bandText(const QPalette& palette);

QColor busyFill(const QPalette& palette);
QColor busyBorder(const QPalette& palette);
// Time the user took out: lighter than a meeting, with its name in heldText.
QColor heldFill(const QPalette& palette);
QColor heldText(const QPalette& palette);

// Bars that follow the shared window are orange; bars that override it are blue.
QColor followingBar(const QPalette& palette);
QColor overridingBar(const QPalette& palette);

QColor fade(const QPalette& palette);

// The application font at `pointDelta` points more or less, optionally bold.
QFont font(const QFont& base, double pointDelta, bool bold = false);

}  // namespace CanvasStyle

}  // namespace nelvo
