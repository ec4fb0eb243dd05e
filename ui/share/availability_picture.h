#pragma once

#include "kit/render/rendered_table.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QImage;
class QPainter;

namespace nelvo {

// The picture of the availability: the title over a grid of days and times, one column per
// zone, on white. Sizes are in points; the image has `scale` pixels per point. The same
// drawing serves the clipboard, saved files, share attachments and `nelvo print --format
// png`. Fonts need a QGuiApplication (the offscreen platform will do).
class AvailabilityPicture {
public:
    static constexpr double singleZoneWidth = 420;
    static constexpr double multiZoneWidth = 600;
    static constexpr double padding = 28;
    static constexpr double contentSpacing = 16;
    static constexpr double titleSize = 20;
    static constexpr double emptyTextSize = 16;
    static constexpr double largestBodySize = 16;
    static constexpr double smallestBodySize = 9;
    static constexpr double smallestHeadSize = 8;
    static constexpr double rowSpacing = 6;
    static constexpr double headRuleThickness = 1.5;
    static constexpr double dayRuleThickness = 1;
    static constexpr double dayRulePadding = 4;
    // A day's rule is a row of the grid of its own: the rows' spacing and its padding on
    // each side, the same above as below.
    static constexpr double dayRuleSpace() { return rowSpacing + dayRulePadding; }
    // Largest scale drawn; beyond it the image would be absurdly large.
    static constexpr double largestScale = 8;

    AvailabilityPicture(std::string title, RenderedTable table);
    ~AvailabilityPicture();
    AvailabilityPicture(const AvailabilityPicture&);
    AvailabilityPicture& operator=(const AvailabilityPicture&);

    // 420 points for one zone (or none), 600 for two or more.
    double baseWidth() const;
    // 16, or the size at which a wide table fits the base width, down to 9.
    double bodySize() const;
    // bodySize() - 3, not below 8.
    double headSize() const;
    // The picture's size in points: at least the base width, wider when the table does not
    // fit even at 9 points; as tall as its content.
    double width() const;
    double height() const;
    // The column heads as drawn: "DAY" then one per zone ("TIMES (LABEL)" for a single zone).
    const std::vector<QString>& heads() const;
    // Width of each grid column in points, without the gaps between them.
    const std::vector<double>& columnWidths() const;

    // The body size for a table whose natural width at 16 points is `naturalWidthAt16`:
    // scaled down to fit `baseWidth` less the padding with a 2 % margin, rounded down to a
    // half point, never below 9. 16 when it fits.
    static double fittedBodySize(double baseWidth, double naturalWidthAt16);

    // Draws the picture with its top left corner at the painter's origin, in points.
    void paint(QPainter& painter) const;
    // The picture at `scale` pixels per point; a null image when it cannot be drawn (a
    // scale out of (0, 8], or no memory for the pixels).
    QImage image(double scale) const;
    // The image as PNG; empty when drawing or encoding fails.
    std::optional<QByteArray> png(double scale) const;

    // Encodes an image in a format Qt's image plugins know ("png", "tiff"); empty when the
    // format is missing or the encoder fails.
    static std::optional<QByteArray> encode(const QImage& image, const char* format);

private:
    struct Layout;
    std::string m_title;
    RenderedTable m_table;
    std::shared_ptr<const Layout> m_layout;  // immutable, so copies share it
};

}  // namespace nelvo
