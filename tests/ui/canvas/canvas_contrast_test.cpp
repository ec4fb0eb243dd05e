#include "canvas_fixture.h"

#include "ui/canvas/canvas_style.h"
#include "ui/canvas/day_header_view.h"
#include "ui/dark_palette.h"

#include <QPainter>
#include <QToolButton>

#include <gtest/gtest.h>

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
        const QColor grounds[] = {CanvasStyle::canvasBackground(colours),
                                  CanvasStyle::columnBackground(colours, false),
                                  CanvasStyle::columnBackground(colours, true)};
        // Hour labels, captions, event rows and notes in grey, on the window and the columns.
        for (const QColor& ground : grounds)
            EXPECT_GE(CanvasStyle::contrast(CanvasStyle::secondaryText(colours), ground),
                      CanvasStyle::minimumTextContrast)
                << (dark ? "dark" : "light");
        // A band's times on its fill, highlighted or not, in any column.
        for (const bool highlighted : {false, true})
            for (const QColor& ground : grounds)
                EXPECT_GE(CanvasStyle::contrast(
                              CanvasStyle::bandText(colours),
                              over(CanvasStyle::bandFill(colours, highlighted), ground)),
                          CanvasStyle::minimumTextContrast)
                    << (dark ? "dark" : "light");
        // "Taken out" on its block, and a freed meeting's "Freed" mark, in any column.
        for (const QColor& ground : grounds) {
            EXPECT_GE(CanvasStyle::contrast(CanvasStyle::heldText(colours),
                                            over(CanvasStyle::heldFill(colours), ground)),
                      CanvasStyle::minimumTextContrast)
                << (dark ? "dark" : "light");
            EXPECT_GE(CanvasStyle::contrast(CanvasStyle::bandText(colours),
                                            CanvasStyle::columnBackground(colours, false)),
                      CanvasStyle::minimumTextContrast)
                << (dark ? "dark" : "light");
        }
        // "0 events": a day without events still says so legibly, its button disabled.
        ASSERT_FALSE(view.headers().empty());
        const QToolButton* events = view.headers().front()->eventsButton();
        ASSERT_FALSE(events->isEnabled());
        ASSERT_EQ(events->text(), QStringLiteral("0 events"));
        const QColor count = events->palette().color(QPalette::Disabled, QPalette::ButtonText);
        EXPECT_GE(CanvasStyle::contrast(count, CanvasStyle::canvasBackground(colours)),
                  CanvasStyle::minimumTextContrast)
            << (dark ? "dark" : "light");
    }
}

}  // namespace
}  // namespace nelvo
