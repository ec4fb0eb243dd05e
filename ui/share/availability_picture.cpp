#include "ui/share/availability_picture.h"

#include "kit/render/table_builder.h"

#include <QBuffer>
#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QTextLayout>

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

namespace nelvo {

namespace {

// Fonts are sized on a device of 72 dots per inch, so that one point is one unit of the
// painter whatever the screen's resolution; the scale comes from the device pixel ratio.
constexpr int dotsPerMeterAt72Dpi = 2835;

const QColor ink = QColor::fromRgbF(0.11f, 0.11f, 0.11f);
const QColor green = QColor::fromRgbF(0.1f, 0.5f, 0.24f);
const QColor dayRule = QColor::fromRgbF(0.88f, 0.88f, 0.88f);

const QImage& pointDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(dotsPerMeterAt72Dpi);
        image.setDotsPerMeterY(dotsPerMeterAt72Dpi);
        return image;
    }();
    return device;
}

QFont systemFont(double points, QFont::Weight weight)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(points);
    font.setWeight(weight);
    // Unhinted advances do not change with the scale, so widths measured once hold at 2x.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// Text in one font, optionally with every digit as wide as the widest one (tabular figures),
// so that times line up in their column whatever the font's own figures are. A grid repeats
// a few pieces (each digit, ":", " – ", "AM") hundreds of times, so each piece is shaped
// once and then drawn from its glyphs.
class TextStyle {
public:
    TextStyle(double points, QFont::Weight weight, bool tabular)
        : m_font(systemFont(points, weight)), m_metrics(m_font, &pointDevice()), m_tabular(tabular)
    {
        for (char digit = '0'; digit <= '9'; ++digit)
            m_digitAdvance = std::max(m_digitAdvance, piece(QString(QChar(digit))).advance);
    }

    const QFont& font() const { return m_font; }
    double ascent() const { return m_metrics.ascent(); }
    double lineHeight() const { return m_metrics.height(); }

    double width(const QString& text) const
    {
        if (!m_tabular)
            return m_metrics.horizontalAdvance(text);
        double total = 0;
        forEachRun(text, [&](const QString& run, bool isDigit) {
            total += isDigit ? m_digitAdvance : piece(run).advance;
        });
        return total;
    }

    // Draws with the baseline's left end at `origin`.
    void draw(QPainter& painter, QPointF origin, const QString& text) const
    {
        if (!m_tabular) {
            painter.setFont(m_font);
            painter.drawText(origin, text);
            return;
        }
        double x = origin.x();
        forEachRun(text, [&](const QString& run, bool isDigit) {
            const Piece& shaped = piece(run);
            const double left = isDigit ? x + (m_digitAdvance - shaped.advance) / 2 : x;
            for (const QGlyphRun& glyphs : shaped.glyphs)
                painter.drawGlyphRun(QPointF(left, origin.y() - shaped.ascent), glyphs);
            x += isDigit ? m_digitAdvance : shaped.advance;
        });
    }

private:
    struct Piece {
        double advance = 0;
        double ascent = 0;  // of the glyphs' baseline below the layout's top
        QList<QGlyphRun> glyphs;
    };

    const Piece& piece(const QString& text) const
    {
        auto found = m_pieces.constFind(text);
        if (found != m_pieces.constEnd())
            return *found;
        QTextLayout layout(text, m_font, &pointDevice());
        layout.beginLayout();
        const QTextLine line = layout.createLine();
        layout.endLayout();
        return *m_pieces.insert(text, Piece{.advance = m_metrics.horizontalAdvance(text),
                                            .ascent = line.ascent(),
                                            .glyphs = layout.glyphRuns()});
    }

    // Calls `each` with every single digit and every stretch between digits, in order.
    template <typename Each>
    static void forEachRun(const QString& text, Each each)
    {
        qsizetype start = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                continue;
            if (i > start)
                each(text.mid(start, i - start), false);
            each(QString(c), true);
            start = i + 1;
        }
        if (start < text.size())
            each(text.mid(start), false);
    }

    QFont m_font;
    QFontMetricsF m_metrics;
    bool m_tabular;
    double m_digitAdvance = 0;
    mutable QHash<QString, Piece> m_pieces;
};

struct GridStyles {
    explicit GridStyles(double bodySize)
        : head(std::max(AvailabilityPicture::smallestHeadSize, bodySize - 3), QFont::DemiBold,
               true),
          day(bodySize, QFont::DemiBold, false), cell(bodySize, QFont::Normal, true),
          gap(1.5 * bodySize)
    {
    }
    TextStyle head;
    TextStyle day;
    TextStyle cell;
    double gap;
};

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

double roundedUp(double width)
{
    return std::ceil(width - 1e-9);
}

}  // namespace

struct AvailabilityPicture::Layout {
    double baseWidth = singleZoneWidth;
    double bodySize = largestBodySize;
    double width = singleZoneWidth;
    double height = 0;
    double titleHeight = 0;
    double emptyHeight = 0;
    std::vector<QString> heads;
    std::vector<double> columns;
};

namespace {

std::vector<QString> headsOf(const RenderedTable& table)
{
    std::size_t cells = table.zoneLabels.size();
    for (const auto& day : table.days) {
        for (const auto& row : day.rows)
            cells = std::max(cells, row.size());
    }
    std::vector<QString> heads{QStringLiteral("DAY")};
    if (table.zoneLabels.size() == 1) {
        heads.push_back(QStringLiteral("Times (%1)").arg(qs(table.zoneLabels.front())).toUpper());
        cells = std::max<std::size_t>(cells, 1);
    }
    for (std::size_t i = heads.size() - 1; i < cells; ++i)
        heads.push_back(i < table.zoneLabels.size() ? qs(table.zoneLabels[i]).toUpper()
                                                    : QString());
    return heads;
}

// The natural width of every column at a body size.
std::vector<double> measureColumns(const RenderedTable& table, const std::vector<QString>& heads,
                                   const GridStyles& styles)
{
    std::vector<double> widths(heads.size(), 0);
    for (std::size_t c = 0; c < heads.size(); ++c)
        widths[c] = roundedUp(styles.head.width(heads[c]));
    for (const auto& day : table.days) {
        widths[0] = std::max(widths[0], roundedUp(styles.day.width(qs(day.label))));
        for (const auto& row : day.rows) {
            for (std::size_t c = 0; c < row.size() && c + 1 < widths.size(); ++c)
                widths[c + 1] = std::max(widths[c + 1], roundedUp(styles.cell.width(qs(row[c]))));
        }
    }
    return widths;
}

double naturalWidth(const std::vector<double>& columns, double gap)
{
    double total = 0;
    for (double width : columns)
        total += width;
    return total + gap * static_cast<double>(columns.empty() ? 0 : columns.size() - 1);
}

double wrappedHeight(const TextStyle& style, const QString& text, double width)
{
    const QFontMetricsF metrics(style.font(), &pointDevice());
    return metrics.boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap, text).height();
}

}  // namespace

AvailabilityPicture::AvailabilityPicture(std::string title, RenderedTable table)
    : m_title(std::move(title)), m_table(std::move(table))
{
    auto layout = std::make_shared<Layout>();
    layout->baseWidth = m_table.zoneLabels.size() >= 2 ? multiZoneWidth : singleZoneWidth;
    layout->width = layout->baseWidth;
    layout->heads = headsOf(m_table);
    const double available = layout->baseWidth - 2 * padding;

    const TextStyle titleStyle(titleSize, QFont::DemiBold, false);
    layout->titleHeight = wrappedHeight(titleStyle, qs(m_title), available);
    double y = padding + layout->titleHeight + contentSpacing;

    if (m_table.days.empty()) {
        const TextStyle emptyStyle(emptyTextSize, QFont::Normal, false);
        layout->emptyHeight =
            wrappedHeight(emptyStyle, qs(std::string(TableBuilder::emptyRangeText)), available);
        y += layout->emptyHeight;
    } else {
        const GridStyles at16(largestBodySize);
        std::vector<double> columns = measureColumns(m_table, layout->heads, at16);
        layout->bodySize = fittedBodySize(layout->baseWidth, naturalWidth(columns, at16.gap));
        const GridStyles styles(layout->bodySize);
        if (layout->bodySize != largestBodySize)
            columns = measureColumns(m_table, layout->heads, styles);
        layout->width =
            std::max(layout->baseWidth, roundedUp(naturalWidth(columns, styles.gap) + 2 * padding));
        layout->columns = std::move(columns);

        const double rowHeight = std::max(styles.day.lineHeight(), styles.cell.lineHeight());
        y += styles.head.lineHeight() + rowSpacing + headRuleThickness + rowSpacing;
        for (std::size_t d = 0; d < m_table.days.size(); ++d) {
            if (d > 0)
                y += dayRuleSpace() + dayRuleThickness + dayRuleSpace();
            const auto rows = static_cast<double>(m_table.days[d].rows.size());
            y += rows * rowHeight + std::max(0.0, rows - 1) * rowSpacing;
        }
    }
    layout->height = roundedUp(y + padding);
    m_layout = std::move(layout);
}

AvailabilityPicture::~AvailabilityPicture() = default;
AvailabilityPicture::AvailabilityPicture(const AvailabilityPicture&) = default;
AvailabilityPicture& AvailabilityPicture::operator=(const AvailabilityPicture&) = default;

double AvailabilityPicture::baseWidth() const
{
    return m_layout->baseWidth;
}
double AvailabilityPicture::bodySize() const
{
    return m_layout->bodySize;
}
double AvailabilityPicture::headSize() const
{
    return std::max(smallestHeadSize, m_layout->bodySize - 3);
}
double AvailabilityPicture::width() const
{
    return m_layout->width;
}
double AvailabilityPicture::height() const
{
    return m_layout->height;
}
const std::vector<QString>& AvailabilityPicture::heads() const
{
    return m_layout->heads;
}
const std::vector<double>& AvailabilityPicture::columnWidths() const
{
    return m_layout->columns;
}

double AvailabilityPicture::fittedBodySize(double baseWidth, double naturalWidthAt16)
{
    const double available = baseWidth - 2 * padding;
    if (!(naturalWidthAt16 > available))
        return largestBodySize;
    const double fitted = std::floor(2 * available * largestBodySize / naturalWidthAt16 * 0.98) / 2;
    return std::max(smallestBodySize, fitted);
}

void AvailabilityPicture::paint(QPainter& painter) const
{
    const Layout& layout = *m_layout;
    const double contentWidth = layout.width - 2 * padding;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(QRectF(0, 0, layout.width, layout.height), Qt::white);

    const TextStyle titleStyle(titleSize, QFont::DemiBold, false);
    painter.setPen(ink);
    painter.setFont(titleStyle.font());
    painter.drawText(QRectF(padding, padding, contentWidth, layout.titleHeight),
                     Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, qs(m_title));
    double y = padding + layout.titleHeight + contentSpacing;

    if (m_table.days.empty()) {
        const TextStyle emptyStyle(emptyTextSize, QFont::Normal, false);
        QColor faded = ink;
        faded.setAlphaF(0.7f);
        painter.setPen(faded);
        painter.setFont(emptyStyle.font());
        painter.drawText(QRectF(padding, y, contentWidth, layout.emptyHeight),
                         Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
                         qs(std::string(TableBuilder::emptyRangeText)));
        painter.restore();
        return;
    }

    const GridStyles styles(layout.bodySize);
    std::vector<double> xs;
    double x = padding;
    for (double column : layout.columns) {
        xs.push_back(x);
        x += column + styles.gap;
    }

    painter.setPen(green);
    for (std::size_t c = 0; c < layout.heads.size(); ++c)
        styles.head.draw(painter, QPointF(xs[c], y + styles.head.ascent()), layout.heads[c]);
    y += styles.head.lineHeight() + rowSpacing;
    QColor headRule = green;
    headRule.setAlphaF(0.5f);
    painter.fillRect(QRectF(padding, y, contentWidth, headRuleThickness), headRule);
    y += headRuleThickness + rowSpacing;

    const double rowHeight = std::max(styles.day.lineHeight(), styles.cell.lineHeight());
    const double ascent = std::max(styles.day.ascent(), styles.cell.ascent());
    painter.setPen(ink);
    for (std::size_t d = 0; d < m_table.days.size(); ++d) {
        const DayGroup& day = m_table.days[d];
        if (d > 0) {
            y += dayRuleSpace();
            painter.fillRect(QRectF(padding, y, contentWidth, dayRuleThickness), dayRule);
            y += dayRuleThickness + dayRuleSpace();
        }
        for (std::size_t r = 0; r < day.rows.size(); ++r) {
            const double baseline = y + ascent;
            if (r == 0)
                styles.day.draw(painter, QPointF(xs[0], baseline), qs(day.label));
            const auto& row = day.rows[r];
            for (std::size_t c = 0; c < row.size() && c + 1 < xs.size(); ++c)
                styles.cell.draw(painter, QPointF(xs[c + 1], baseline), qs(row[c]));
            y += rowHeight + (r + 1 < day.rows.size() ? rowSpacing : 0);
        }
    }
    painter.restore();
}

QImage AvailabilityPicture::image(double scale) const
{
    if (!(scale > 0 && scale <= largestScale))
        return {};
    const auto pixels = [scale](double points) {
        return static_cast<int>(std::ceil(points * scale - 1e-9));
    };
    QImage image(pixels(width()), pixels(height()), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.setDevicePixelRatio(scale);
    image.setDotsPerMeterX(dotsPerMeterAt72Dpi);
    image.setDotsPerMeterY(dotsPerMeterAt72Dpi);
    QPainter painter(&image);
    if (!painter.isActive())
        return {};
    paint(painter);
    painter.end();
    // The file says how large the picture is meant to appear: 72 points per inch.
    const int dotsPerMeter = static_cast<int>(std::lround(dotsPerMeterAt72Dpi * scale));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

std::optional<QByteArray> AvailabilityPicture::png(double scale) const
{
    const QImage picture = image(scale);
    if (picture.isNull())
        return std::nullopt;
    return encode(picture, "png");
}

namespace {

void appendWord(QByteArray& out, std::uint32_t value)
{
    const char bytes[4] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                           static_cast<char>(value >> 8), static_cast<char>(value)};
    out.append(bytes, 4);
}

void appendChunk(QByteArray& out, const char* type, const QByteArray& data)
{
    appendWord(out, static_cast<std::uint32_t>(data.size()));
    const qsizetype start = out.size();
    out.append(type, 4);
    out.append(data);
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(out.constData() + start),
                           static_cast<uInt>(out.size() - start));
    appendWord(out, static_cast<std::uint32_t>(crc));
}

// Rows [first, end) of an opaque picture, each with the PNG "Sub" filter, as raw deflate
// data: a part that others follow ends on a byte boundary without closing the stream, so
// the parts can be joined. The Adler-32 of the filtered rows comes with it.
struct PackedRows {
    QByteArray bytes;
    uLong adler = adler32(0, nullptr, 0);
    uLong length = 0;
    bool ok = false;
};

PackedRows packRows(const QImage& image, int first, int end, bool isLast)
{
    PackedRows out;
    const int width = image.width();
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return out;
    out.bytes.reserve(static_cast<qsizetype>(width) * (end - first) / 2);
    std::vector<unsigned char> row(1 + 3 * static_cast<std::size_t>(width));
    unsigned char chunk[1 << 16];
    int status = Z_OK;
    for (int y = first; y < end && status == Z_OK; ++y) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        row[0] = 1;  // Sub: each byte minus the one of the pixel to its left
        QRgb left = 0;
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = pixels[x];
            row[1 + 3 * x] = static_cast<unsigned char>(qRed(pixel) - qRed(left));
            row[2 + 3 * x] = static_cast<unsigned char>(qGreen(pixel) - qGreen(left));
            row[3 + 3 * x] = static_cast<unsigned char>(qBlue(pixel) - qBlue(left));
            left = pixel;
        }
        out.adler = adler32(out.adler, row.data(), static_cast<uInt>(row.size()));
        out.length += row.size();
        stream.next_in = row.data();
        stream.avail_in = static_cast<uInt>(row.size());
        const bool ends = y + 1 == end;
        const int flush = !ends ? Z_NO_FLUSH : isLast ? Z_FINISH : Z_SYNC_FLUSH;
        // Until the row is taken in (room left over says so); at a part's end, until all of
        // it is out.
        do {
            stream.next_out = chunk;
            stream.avail_out = sizeof chunk;
            status = deflate(&stream, flush);
            if (status == Z_BUF_ERROR)
                status = Z_OK;  // nothing to do this time, which is no failure
            out.bytes.append(reinterpret_cast<const char*>(chunk),
                             static_cast<qsizetype>(sizeof chunk - stream.avail_out));
        } while (status == Z_OK && (stream.avail_out == 0 || flush == Z_FINISH));
    }
    deflateEnd(&stream);
    out.ok = isLast ? status == Z_STREAM_END : status == Z_OK;
    return out;
}

// An opaque picture as an 8-bit RGB PNG. Qt's writer tries every row filter at its default
// compression, which alone costs more than drawing. Here every row gets the "Sub" filter, so
// the mostly white rows are mostly zeros, which the fastest deflate level packs as well. Rows
// are fed one by one, so no copy of the whole picture is made; a large picture is packed in
// bands on several cores and the bands joined into one stream.
std::optional<QByteArray> fastPng(const QImage& image)
{
    const int width = image.width();
    const int height = image.height();
    constexpr qsizetype pixelsPerBand = 250'000;
    const int cores = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    const auto pixels = static_cast<qsizetype>(width) * height;
    const int bands = static_cast<int>(
        std::clamp<qsizetype>(pixels / pixelsPerBand, 1, std::min({cores, 4, height})));
    std::vector<PackedRows> parts(static_cast<std::size_t>(bands));
    auto pack = [&](int band) {
        const int first = height * band / bands;
        const int end = height * (band + 1) / bands;
        parts[static_cast<std::size_t>(band)] = packRows(image, first, end, band + 1 == bands);
    };
    std::vector<std::thread> helpers;
    for (int band = 1; band < bands; ++band)
        helpers.emplace_back(pack, band);
    pack(0);
    for (std::thread& helper : helpers)
        helper.join();

    QByteArray packed("\x78\x01", 2);  // zlib: deflate, 32 KiB window, fastest
    uLong adler = adler32(0, nullptr, 0);
    for (const PackedRows& part : parts) {
        if (!part.ok)
            return std::nullopt;
        packed.append(part.bytes);
        adler = adler32_combine(adler, part.adler, static_cast<z_off_t>(part.length));
    }
    appendWord(packed, static_cast<std::uint32_t>(adler));

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    appendWord(header, static_cast<std::uint32_t>(width));
    appendWord(header, static_cast<std::uint32_t>(height));
    header.append("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, Sub rows, no interlace
    appendChunk(png, "IHDR", header);
    QByteArray density;
    appendWord(density, static_cast<std::uint32_t>(image.dotsPerMeterX()));
    appendWord(density, static_cast<std::uint32_t>(image.dotsPerMeterY()));
    density.append('\x01');  // per meter
    appendChunk(png, "pHYs", density);
    appendChunk(png, "IDAT", packed);
    appendChunk(png, "IEND", {});
    return png;
}

}  // namespace

std::optional<QByteArray> AvailabilityPicture::encode(const QImage& image, const char* format)
{
    if (!image.isNull() && image.format() == QImage::Format_RGB32 &&
        std::strcmp(format, "png") == 0)
        return fastPng(image);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly))
        return std::nullopt;
    QImageWriter writer(&buffer, format);
    if (!writer.canWrite() || !writer.write(image))
        return std::nullopt;
    buffer.close();
    if (bytes.isEmpty())
        return std::nullopt;
    return bytes;
}

}  // namespace nelvo
