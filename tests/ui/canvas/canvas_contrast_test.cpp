#include "canvas_fixture.h"

#include "ui/canvas/canvas_style.h"
#include "ui/canvas/day_header_view.h"
#include "ui/dark_palette.h"

#include <QPainter>
#include <QToolButton>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace nelvo {
namespace {

// A translucent fill as it shows over `ground`.
QColor over(const QColor& fill, const QColor& ground)
{
    QImage pixel(1, 1, QImage::Format_RGB32);
    pixel.fill(ground);
    QPainter(&pixel).fillRect(0, 0, 1, 1, fill);
    return pixel.pixelColor(0, 0);
}

TEST(CanvasContrast, EveryTextReadsInTheLightAndTheDarkPalette)
{
    for (const bool dark : {false, true}) {
        test::CanvasFixture f;
        MainView& view = f.make();
        if (dark)
            view.setPalette(darkPalette());
        const QPalette& colours = f.column(0).palette();
        ASSERT_EQ(CanvasStyle::isDark(colours), dark);
        // "0 events": a day without events still says so legibly, its button disabled.
        const QToolButton* events = view.headers().front()->eventsButton();
        ASSERT_FALSE(events->isEnabled());
        ASSERT_EQ(events->text(), QStringLiteral("0 events"));
        // Each text over what it is drawn on; a freed meeting's "Freed" mark on the column.
        std::vector<std::pair<QColor, QColor>> pairs{
            {events->palette().color(QPalette::Disabled, QPalette::ButtonText),
             CanvasStyle::canvasBackground(colours)},
            {CanvasStyle::bandText(colours), CanvasStyle::columnBackground(colours, false)}};
        for (const QColor& ground :
             {CanvasStyle::canvasBackground(colours), CanvasStyle::columnBackground(colours, false),
              CanvasStyle::columnBackground(colours, true)}) {
            // Hour labels, captions, event rows and notes in grey, on the window and the columns.
            pairs.emplace_back(CanvasStyle::secondaryText(colours), ground);
            // A band's times on its fill, highlighted or not, and "Taken out" on its block.
            pairs.emplace_back(CanvasStyle::bandText(colours),
                               over(CanvasStyle::bandFill(colours, false), ground));
            pairs.emplace_back(CanvasStyle::bandText(colours),
                               over(CanvasStyle::bandFill(colours, true), ground));
            pairs.emplace_back(CanvasStyle::heldText(colours),
                               over(CanvasStyle::heldFill(colours), ground));
        }
        for (const auto& [text, ground] : pairs)
            EXPECT_GE(CanvasStyle::contrast(text, ground), CanvasStyle::minimumTextContrast)
                << (dark ? "dark: " : "light: ") << text.name().toStdString() << " on "
                << ground.name().toStdString();
    }
}

}  // namespace
}  // namespace nelvo
