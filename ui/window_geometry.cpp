#include "ui/window_geometry.h"

#include <QStringList>

#include <algorithm>

namespace nelvo::WindowGeometry {

QString encode(const Frame& frame)
{
    QString text = QStringLiteral("%1 %2 %3 %4")
                       .arg(frame.rect.x())
                       .arg(frame.rect.y())
                       .arg(frame.rect.width())
                       .arg(frame.rect.height());
    if (frame.maximized)
        text += QStringLiteral(" maximized");
    return text;
}

std::optional<Frame> decode(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != 4 && !(parts.size() == 5 && parts[4] == QLatin1String("maximized")))
        return std::nullopt;
    int numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts[i].toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    if (numbers[2] <= 0 || numbers[3] <= 0)
        return std::nullopt;
    return Frame{QRect(numbers[0], numbers[1], numbers[2], numbers[3]), parts.size() == 5};
}

std::optional<Frame> usable(const QString& text, const QList<QRect>& screens)
{
    std::optional<Frame> frame = decode(text);
    if (!frame)
        return std::nullopt;
    for (const QRect& screen : screens) {
        const QRect shown = screen.intersected(frame->rect);
        if (shown.width() >= std::min(minimumVisible, frame->rect.width()) &&
            shown.height() >= std::min(minimumVisible, frame->rect.height()))
            return frame;
    }
    return std::nullopt;
}

QRect fitted(const QRect& rect, const QList<QRect>& screens)
{
    if (screens.isEmpty())
        return rect;
    auto shownOn = [&](const QRect& screen) {
        const QRect shown = screen.intersected(rect);
        return shown.isEmpty() ? 0LL : static_cast<long long>(shown.width()) * shown.height();
    };
    const QRect area =
        *std::max_element(screens.begin(), screens.end(),
                          [&](const QRect& a, const QRect& b) { return shownOn(a) < shownOn(b); });
    QRect out(rect.topLeft(), rect.size().boundedTo(area.size()));
    out.moveLeft(std::clamp(out.left(), area.left(), area.right() + 1 - out.width()));
    out.moveTop(std::clamp(out.top(), area.top(), area.bottom() + 1 - out.height()));
    return out;
}

}  // namespace nelvo::WindowGeometry
