#include "canvas_fixture.h"

#include "ui/canvas/canvas_text.h"
#include "ui/canvas/cutoff_bar_view.h"
#include "ui/canvas/day_header_view.h"
#include "ui/canvas/free_band_view.h"
#include "ui/canvas/ruler_chrome.h"
#include "ui/canvas/shared_cutoff_handle.h"
#include "ui/canvas/zone_axis_view.h"
#include "ui/canvas/zone_names_row.h"

#include <QToolButton>

#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

namespace nelvo {
namespace {

using test::CanvasFixture;

TEST(MainViewZoom, FollowsTheFitTheCapAndTheAnchorAndPersists)
{
    CanvasFixture f;
    auto& view = f.make();
    ASSERT_EQ(view.viewportHeight(), 600);
    EXPECT_EQ(f.model->hourRange(), (CanvasRules::HourRange{8, 18}));
    EXPECT_DOUBLE_EQ(view.fitZoom(), 59.2);
    // The stored 44 draws at the fit: the hours never end above the bottom.
    EXPECT_DOUBLE_EQ(view.effectiveZoom(), 59.2);
    view.zoomReset();
    EXPECT_DOUBLE_EQ(view.effectiveZoom(), 59.2);

    view.setZoom(100, 0);
    view.setVerticalOffset(200);
    // 12:00 lies at 8 + 4 × 100 = 408 of the content, 208 into the viewport.
    view.setZoom(150, 208);
    EXPECT_DOUBLE_EQ(view.effectiveZoom(), 150);
    // (208 + 200 − 8) × 1.5 + 8 − 208 = 400: 12:00 is still 208 into the viewport.
    EXPECT_EQ(view.verticalOffset(), 400);
    view.zoomIn();
    EXPECT_DOUBLE_EQ(view.effectiveZoom(), 160);  // 187.5 capped
    EXPECT_EQ(f.defaults->doubleValue(MainView::zoomKey), 160.0);
    view.zoomOut();
    EXPECT_DOUBLE_EQ(view.effectiveZoom(), 128);
    // Column heights follow the zoom.
    EXPECT_EQ(f.column(0).height(), static_cast<int>(std::ceil(8 + 10 * 128.0)));

    // Ctrl+wheel zooms at the pointer, a notch at a time; a plain wheel scrolls.
    const QPoint at(100, 100);
    QWheelEvent wheel(at, view.scrollArea()->viewport()->mapToGlobal(at), {}, {0, 120},
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view.scrollArea()->viewport(), &wheel);
    EXPECT_GT(view.effectiveZoom(), 128);
    const double zoom = view.effectiveZoom();

    // A new view over the same defaults starts at the stored zoom.
    f.view = std::make_unique<MainView>(*f.model, *f.defaults);
    EXPECT_DOUBLE_EQ(f.view->storedZoom(), zoom);
}

TEST(MainViewZoom, ADamagedOrTinyLayoutStillDraws)
{
    CanvasFixture f;
    f.defaults->setDouble(MainView::zoomKey, std::nan(""));
    auto& view = f.make({400, 58});  // a viewport of 6 points
    EXPECT_EQ(view.fitZoom(), 16);
    EXPECT_EQ(view.effectiveZoom(), 44);
    view.zoomIn();
    EXPECT_DOUBLE_EQ(view.effectiveZoom(), 55);
}

TEST(MainViewLayout, ColumnsHeadersAndFadesFollowTheDaysAndALeftOutDayNarrows)
{
    CanvasFixture f;
    f.settings.dayCount = 5;
    auto& view = f.make();
    ASSERT_EQ(view.columns().size(), 5u);
    EXPECT_EQ(f.column(0).width(), 180);
    EXPECT_EQ(f.column(1).x(), 192);
    // A click on a day's date leaves it out, and its column narrows; another brings it back.
    QTest::mouseClick(view.headers()[1]->dateButton(), Qt::LeftButton);
    EXPECT_TRUE(f.model->days()[1].isExcluded);
    EXPECT_EQ(f.column(1).width(), 72);
    EXPECT_EQ(f.column(1).accessibleName(), "Tue 4, left out");
    EXPECT_TRUE(f.column(1).bands().empty());
    EXPECT_EQ(f.undo.count(), 1);
    QTest::mouseClick(view.headers()[1]->dateButton(), Qt::LeftButton);
    EXPECT_EQ(f.column(1).width(), 180);
    // Fades say there are more days beyond either edge.
    EXPECT_TRUE(view.moreTrailing());
    EXPECT_FALSE(view.moreLeading());
    view.scrollArea()->horizontalScrollBar()->setValue(
        view.scrollArea()->horizontalScrollBar()->maximum());
    EXPECT_TRUE(view.moreLeading());
    EXPECT_FALSE(view.moreTrailing());
}

TEST(MainViewKeyboard, TabGoesTheWayTheEyeReadsAndShiftF10OpensMenus)
{
    CanvasFixture f;
    f.settings.dayCount = 2;
    f.settings.addZone("Asia/Tokyo");
    f.source->all.push_back(
        test::meeting("m1", "2025-03-03T12:00:00-08:00", "2025-03-03T13:00:00-08:00"));
    auto& view = f.make();
    const auto* axis = view.zoneAxis();
    std::vector<QWidget*> expected{axis->rulers()[0], axis->rulers()[1],
                                   view.namesRow()->addButton(), axis->handle(WindowEdge::start),
                                   axis->handle(WindowEdge::end)};
    for (std::size_t i = 0; i < 2; ++i) {
        expected.push_back(view.headers()[i]->dateButton());
        if (view.headers()[i]->eventsButton()->isEnabled())  // Tuesday has no events
            expected.push_back(view.headers()[i]->eventsButton());
        expected.push_back(f.column(i).bar(WindowEdge::start));
        expected.push_back(f.column(i).bar(WindowEdge::end));
        for (FreeBandView* band : f.column(i).bands())
            expected.push_back(band);
    }
    ASSERT_EQ(expected.size(), 15u);
    expected.front()->setFocus(Qt::TabFocusReason);
    std::vector<QWidget*> visited{QApplication::focusWidget()};
    while (visited.size() < expected.size()) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.push_back(QApplication::focusWidget());
    }
    EXPECT_EQ(visited, expected);

    // Shift+F10 opens the focused ruler's menu, the keyboard picks in it.
    axis->rulers()[1]->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(test::chooseFromMenu(
        [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10, Qt::ShiftModifier); },
        "Remove"));
    EXPECT_EQ(f.model->settings().zones.size(), 1u);
}

TEST(CanvasText, TimeLabelsInBothClocks)
{
    EXPECT_EQ(CanvasText::timeLabel(0, false), "12:00am");
    EXPECT_EQ(CanvasText::timeLabel(545, false), "9:05am");
    EXPECT_EQ(CanvasText::timeLabel(720, false), "12:00pm");
    EXPECT_EQ(CanvasText::timeLabel(1425, false), "11:45pm");
    EXPECT_EQ(CanvasText::timeLabel(545, true), "09:05");
    EXPECT_EQ(CanvasText::timeLabel(1260, true), "21:00");
}

}  // namespace
}  // namespace nelvo
