#include "ui/canvas/canvas_style.h"

#include <QFont>
#include <QPalette>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace nelvo::CanvasStyle {

namespace {

QColor withAlpha(QColor color, int alpha)
{
    color.setAlpha(alpha);
    return color;
}

// `a` moved toward `b` by `t` (0...1).
QColor mix(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

}  // namespace

double luminance(const QColor& c)
{
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool isDark(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() < 128;
}

QColor canvasBackground(const QPalette& palette)
{
    return palette.color(QPalette::Window);
}

QColor columnBackground(const QPalette& palette, bool isToday)
{
    const QColor base = palette.color(QPalette::Base);
    if (!isToday)
        return base;
    return mix(base, palette.color(QPalette::Highlight), isDark(palette) ? 0.10 : 0.06);
}

QColor leftOutBackground(const QPalette& palette)
{
    return mix(palette.color(QPalette::Window), palette.color(QPalette::Base), 0.35);
}

QColor hourLine(const QPalette& palette)
{
    return withAlpha(palette.color(QPalette::Text), isDark(palette) ? 34 : 24);
}

QColor secondaryText(const QPalette& palette)
{
    const QColor text = palette.color(QPalette::Text);
    const QColor grounds[] = {palette.color(QPalette::Window), palette.color(QPalette::Base),
                              columnBackground(palette, true)};
    // As grey as the palette allows: a theme with little contrast gets nearly the text colour.
    for (double t = 0.45; t > 0; t -= 0.05) {
        const QColor grey = mix(text, palette.color(QPalette::Base), t);
        if (std::all_of(std::begin(grounds), std::end(grounds), [&](const QColor& ground) {
                return contrast(grey, ground) >= minimumTextContrast;
            }))
            return grey;
    }
    return text;
}

QColor bandFill(const QPalette& palette, bool highlighted)
{
    if (isDark(palette))
        return highlighted ? QColor(48, 209, 88, 105) : QColor(48, 209, 88, 70);
    return highlighted ? QColor(52, 199, 89, 95) : QColor(52, 199, 89, 62);
}

QColor bandBorder(const QPalette& palette)
{
    return isDark(palette) ? QColor(60, 214, 100) : QColor(30, 150, 62);
}

QColor bandText(const QPalette& palette)
{
    return isDark(palette) ? QColor(178, 240, 192) : QColor(18, 92, 40);
}

QColor busyFill(const QPalette& palette)
{
    return withAlpha(palette.color(QPalette::Text), isDark(palette) ? 44 : 26);
}

QColor busyBorder(const QPalette& palette)
{
    return withAlpha(palette.color(QPalette::Text), isDark(palette) ? 80 : 56);
}

QColor heldFill(const QPalette& palette)
{
    return withAlpha(palette.color(QPalette::Text), isDark(palette) ? 16 : 10);
}

QColor heldText(const QPalette& palette)
{
    // Grey as secondaryText, but against the held fill over each column's background.
    const QColor fill = heldFill(palette);
    const QColor columns[] = {columnBackground(palette, false), columnBackground(palette, true)};
    const QColor text = palette.color(QPalette::Text);
    for (double t = 0.45; t > 0; t -= 0.05) {
        const QColor grey = mix(text, palette.color(QPalette::Base), t);
        if (std::all_of(std::begin(columns), std::end(columns), [&](const QColor& column) {
                return contrast(grey, mix(column, fill, fill.alphaF())) >= minimumTextContrast;
            }))
            return grey;
    }
    return text;
}

QColor followingBar(const QPalette& palette)
{
    return isDark(palette) ? QColor(255, 159, 10) : QColor(240, 130, 0);
}

QColor overridingBar(const QPalette& palette)
{
    return isDark(palette) ? QColor(10, 132, 255) : QColor(0, 112, 230);
}

QColor fade(const QPalette& palette)
{
    return QColor(0, 0, 0, isDark(palette) ? 150 : 46);
}

QFont font(const QFont& base, double pointDelta, bool bold)
{
    QFont f = base;
    if (f.pointSizeF() > 0)
        f.setPointSizeF(std::max(6.0, f.pointSizeF() + pointDelta));
    f.setBold(bold);
    return f;
}

}  // namespace nelvo::CanvasStyle
