#include "ui/share/availability_picture.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QTextItem>

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <optional>

namespace nelvo {
namespace {

RenderedTable tableOf(std::vector<std::string> labels, std::vector<DayGroup> days)
{
    return RenderedTable{
        .heading = "Availability", .zoneLabels = std::move(labels), .days = std::move(days)};
}

double naturalWidth(const AvailabilityPicture& picture)
{
    const auto& columns = picture.columnWidths();
    return std::accumulate(columns.begin(), columns.end(), 0.0) +
           1.5 * picture.bodySize() * static_cast<double>(columns.size() - 1);
}

TEST(AvailabilityPicture, EmptyRangeKeepsTheBaseWidth)
{
    // One zone (or none): 420 points; two or more: 600. The body size stays 16.
    const AvailabilityPicture one("My availability · Mar 3", tableOf({"Pacific"}, {}));
    const AvailabilityPicture two("My availability · Mar 3", tableOf({"Pacific", "London"}, {}));
    EXPECT_EQ(one.width(), 420);
    EXPECT_EQ(AvailabilityPicture("My availability", RenderedTable{}).width(), 420);
    EXPECT_EQ(two.width(), 600);
    // Padding, title, spacing and the empty-range text: taller than the padding alone, and
    // the same for both widths.
    EXPECT_GT(one.height(), 2 * AvailabilityPicture::padding + 40);
    EXPECT_EQ(one.height(), two.height());
}

TEST(AvailabilityPicture, ColumnsFitTheirWidestTextAndTheTableItsSize)
{
    // Heads in upper case; a single zone's column says it holds times.
    EXPECT_EQ(AvailabilityPicture("t", tableOf({"Pacific"}, {{"Mon", {{"9:00am"}}}})).heads(),
              (std::vector<QString>{"DAY", "TIMES (PACIFIC)"}));
    const DayGroup monday{"Mon, Mar 3", {{"9:00am", "5:00pm"}}};
    const DayGroup tuesday{"Wednesday, Mar 4", {{"1:00pm", "9:00pm"}, {"3:00pm", "11:00pm (Thu)"}}};
    const AvailabilityPicture picture("t", tableOf({"Pacific", "London"}, {monday, tuesday}));
    EXPECT_EQ(picture.heads(), (std::vector<QString>{"DAY", "PACIFIC", "LONDON"}));
    ASSERT_EQ(picture.columnWidths().size(), 3u);
    // The longest day label and the longest cell widen their columns; all whole points.
    for (double width : picture.columnWidths())
        EXPECT_EQ(width, std::ceil(width));
    EXPECT_GT(picture.columnWidths()[2], picture.columnWidths()[1]);
    EXPECT_EQ(picture.bodySize(), 16);
    // Taller than the same table with one day fewer.
    const AvailabilityPicture shorter("t", tableOf({"Pacific", "London"}, {monday}));
    EXPECT_GT(picture.height(), shorter.height() + 2 * 16);

    // Times have tabular digits: ones, narrow in proportional figures, take a zero's width.
    const AvailabilityPicture ones("t", tableOf({"A"}, {{"Mon", {{"11:11 – 11:11"}}}}));
    const AvailabilityPicture zeros("t", tableOf({"A"}, {{"Mon", {{"00:00 – 00:00"}}}}));
    EXPECT_EQ(ones.columnWidths()[1], zeros.columnWidths()[1]);
}

TEST(AvailabilityPicture, TheBodyShrinksToFitDownToNinePointsThenTheTableWidens)
{
    // Exactly the room (420 - 56 = 364): still 16. Else scaled with a 2 % margin, down to
    // half points: 544 / 600 * 16 * 0.98 = 14.2 → 14; 364 / 390 * 16 * 0.98 = 14.63 → 14.5.
    EXPECT_EQ(AvailabilityPicture::fittedBodySize(420, 364), 16);
    EXPECT_EQ(AvailabilityPicture::fittedBodySize(600, 600), 14);
    EXPECT_EQ(AvailabilityPicture::fittedBodySize(420, 390), 14.5);
    EXPECT_EQ(AvailabilityPicture::fittedBodySize(600, 5000), 9);

    std::vector<std::string> labels;
    std::vector<std::string> cells;
    for (int i = 0; i < 12; ++i) {
        labels.push_back("Zone with a long label " + std::to_string(i));
        cells.push_back("11:00pm – 12:30am (Tue)");
    }
    const AvailabilityPicture wide("t", tableOf(labels, {{"Mon, Mar 3", {cells, cells}}}));
    EXPECT_EQ(wide.bodySize(), 9);
    EXPECT_EQ(wide.headSize(), 8);
    EXPECT_GT(wide.width(), 600);
    EXPECT_EQ(wide.width(), std::ceil(naturalWidth(wide) + 56));

    // A table a little too wide is scaled to fit the 600 points, within the 2 % margin.
    const std::vector<std::string> three(3, "11:00pm – 12:30am (Tue)");
    const AvailabilityPicture fitted(
        "t", tableOf({"Pacific", "London", "Kolkata"}, {{"Mon, Mar 3", {three, three}}}));
    EXPECT_LT(fitted.bodySize(), 16);
    EXPECT_GT(fitted.bodySize(), 9);
    EXPECT_EQ(fitted.width(), 600);
    EXPECT_LE(naturalWidth(fitted), 600 - 56);
}

// A device that keeps where the picture puts its rectangles and its text, in points: an
// image at 72 dots per inch whose painting is recorded instead of drawn.
class Recorder : public QImage, public QPaintEngine {
public:
    struct Text {
        QString text;
        double baseline, ascent, descent;
    };
    struct Rect {
        QRectF rect;
        QColor colour;
    };
    std::vector<Text> texts;
    std::vector<Rect> rects;

    Recorder() : QImage(2000, 2000, QImage::Format_ARGB32), QPaintEngine(QPaintEngine::AllFeatures)
    {
        setDotsPerMeterX(2835);
        setDotsPerMeterY(2835);
    }
    QPaintEngine* paintEngine() const override { return const_cast<Recorder*>(this); }
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState& changed) override
    {
        if (changed.state() & QPaintEngine::DirtyTransform)
            m_transform = changed.transform();
        if (changed.state() & QPaintEngine::DirtyBrush)
            m_brush = changed.brush().color();
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawRects(const QRectF* list, int count) override
    {
        for (int i = 0; i < count; ++i)
            rects.push_back({m_transform.mapRect(list[i]), m_brush});
    }
    void drawTextItem(const QPointF& at, const QTextItem& item) override
    {
        texts.push_back({item.text(), m_transform.map(at).y(), item.ascent(), item.descent()});
    }

private:
    QTransform m_transform;
    QColor m_brush;
};

TEST(AvailabilityPicture, ADaysRuleHasEqualSpaceAboveAndBelow)
{
    const AvailabilityPicture picture(
        "t", tableOf({"A"}, {{"Mon, Mar 3", {{"9:00am"}}}, {"Tue, Mar 4", {{"9:00am"}}}}));
    Recorder recorder;
    {
        QPainter painter(&recorder);
        picture.paint(painter);
    }
    const auto label = [&](const QString& text) {
        const auto found = std::find_if(recorder.texts.begin(), recorder.texts.end(),
                                        [&](const auto& t) { return t.text == text; });
        return found == recorder.texts.end() ? std::optional<Recorder::Text>() : *found;
    };
    const auto monday = label("Mon, Mar 3");
    const auto tuesday = label("Tue, Mar 4");
    const auto rule = std::find_if(recorder.rects.begin(), recorder.rects.end(), [](const auto& r) {
        return r.colour == QColor::fromRgbF(0.88f, 0.88f, 0.88f);
    });
    ASSERT_TRUE(monday && tuesday);
    ASSERT_NE(rule, recorder.rects.end());
    const double above = rule->rect.top() - (monday->baseline + monday->descent);
    const double below = (tuesday->baseline - tuesday->ascent) - rule->rect.bottom();
    EXPECT_NEAR(above, below, 0.5);
}

TEST(AvailabilityPicture, ImageHasScalePixelsPerPointAndEncodesAsPng)
{
    const DayGroup monday{"Mon, Mar 3", {{"9:00am – 10:00am", "5:00pm – 6:00pm"}}};
    const AvailabilityPicture picture("My availability · Mar 3",
                                      tableOf({"Pacific", "London"}, {monday}));
    const QImage image = picture.image(2);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 1200);
    EXPECT_EQ(image.height(), static_cast<int>(2 * picture.height()));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::white));

    const auto png = picture.png(2);
    ASSERT_TRUE(png);
    EXPECT_EQ(QImage::fromData(*png, "png").size(), image.size());
    // Scales that make no sense draw nothing.
    EXPECT_TRUE(picture.image(0).isNull());
    EXPECT_FALSE(picture.png(100));

    // Large pictures are packed in bands joined into one stream; every pixel must come back.
    for (const QSize size : {QSize(420, 300), QSize(1700, 2300)}) {
        QImage pattern(size, QImage::Format_RGB32);
        for (int y = 0; y < pattern.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(pattern.scanLine(y));
            for (int x = 0; x < pattern.width(); ++x)
                row[x] = qRgb((x * 7 + y) & 0xFF, (y * 3) & 0xFF, (x ^ y) & 0xFF);
        }
        const auto encoded = AvailabilityPicture::encode(pattern, "png");
        ASSERT_TRUE(encoded) << size.width();
        EXPECT_EQ(QImage::fromData(*encoded, "png").convertToFormat(QImage::Format_RGB32), pattern)
            << size.width() << "×" << size.height();
    }
}

}  // namespace
}  // namespace nelvo
