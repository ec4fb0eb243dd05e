#include "canvas_fixture.h"

#include "ui/canvas/busy_block_view.h"
#include "ui/canvas/canvas_text.h"
#include "ui/canvas/cutoff_bar_view.h"
#include "ui/canvas/day_header_view.h"
#include "ui/canvas/free_band_view.h"
#include "ui/canvas/freed_mark_view.h"
#include "ui/canvas/shared_cutoff_handle.h"
#include "ui/canvas/zone_axis_view.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QScreen>
#include <QToolButton>

#include <map>

namespace nelvo {
namespace {

using test::at;
using test::CanvasFixture;
using test::drag;
using test::meeting;

DailyWindow windowOf(const AvailabilityModel& model, const std::string& key)
{
    return model.adjustments().overrides.effectiveWindow(key, model.settings().window);
}

// The bar's centre in its own coordinates, plus `dy`.
QPoint middle(const QWidget* w, int dy = 0)
{
    return {w->width() / 2, w->height() / 2 + dy};
}

TEST(DayBars, ADragSetsThatDayOnlyAndADoubleClickFollowsTheSharedBarAgain)
{
    CanvasFixture f;
    f.settings.dayCount = 2;
    f.make();
    auto* end = f.column(0).bar(WindowEdge::end);
    EXPECT_EQ(end->timeLabel(), "5:00pm");
    // Less than a quarter hour, and a double-click on a bar that follows: nothing.
    drag(end, middle(end), {0, 3}, 1);
    QTest::mouseDClick(end, Qt::LeftButton, Qt::NoModifier, middle(end));
    EXPECT_EQ(f.undo.count(), 0);
    EXPECT_EQ(windowOf(*f.model, f.key(0)).endMinutes, 17 * 60);

    // 59 points at 59.2 points per hour: 59.8 minutes, snapped to the hour.
    drag(end, middle(end), {0, 59});
    EXPECT_EQ(windowOf(*f.model, f.key(0)).endMinutes, 18 * 60);
    EXPECT_EQ(windowOf(*f.model, f.key(1)).endMinutes, 17 * 60);
    EXPECT_EQ(f.undo.count(), 1);
    EXPECT_FALSE(f.model->isDraggingCutoff());
    // The bar now overrides the shared window and says how to undo that.
    end = f.column(0).bar(WindowEdge::end);
    EXPECT_TRUE(end->isOverride());
    EXPECT_EQ(end->timeLabel(), "6:00pm");
    EXPECT_TRUE(end->accessibleName().endsWith("Double-click to follow the shared bar."));
    f.undo.undo();
    EXPECT_EQ(windowOf(*f.model, f.key(0)).endMinutes, 17 * 60);
    f.undo.redo();

    // Only the end follows again; the start keeps its own minute.
    auto* start = f.column(0).bar(WindowEdge::start);
    drag(start, middle(start), {0, 59});
    end = f.column(0).bar(WindowEdge::end);
    QTest::mouseDClick(end, Qt::LeftButton, Qt::NoModifier, middle(end));
    EXPECT_EQ(windowOf(*f.model, f.key(0)), (DailyWindow{600, 1020}));
}

TEST(DayBars, AnOvernightEndNudgesWithinTheNextDay)
{
    CanvasFixture f;
    f.settings.window = {22 * 60, 2 * 60};
    f.now = at("2025-03-03T12:00:00-08:00");
    f.make();
    EXPECT_EQ(f.model->hourRange(), (CanvasRules::HourRange{21, 27}));
    auto* end = f.column(0).bar(WindowEdge::end);
    EXPECT_NEAR(end->centreY(), 8 + 5 * f.view->effectiveZoom(), 1e-9);
    end->setFocus();
    QTest::keyClick(end, Qt::Key_Down);
    EXPECT_EQ(windowOf(*f.model, f.key(0)).endMinutes, 2 * 60 + 15);
}

TEST(SharedHandles, MoveEveryDayOneUndoStepAtATimeAndSayTheirTime)
{
    CanvasFixture f;
    f.settings.dayCount = 3;
    auto& view = f.make();
    auto* start = view.zoneAxis()->handle(WindowEdge::start);
    EXPECT_EQ(start->accessibleName(), "Start of availability, every day");
    drag(start, middle(start), {0, 89});  // 90 minutes at 59.2
    EXPECT_EQ(f.model->settings().window.startMinutes, 10 * 60 + 30);
    EXPECT_EQ(f.undo.count(), 1);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(f.column(i).bar(WindowEdge::start)->timeLabel(), "10:30am");
    start->setFocus();
    QTest::keyClick(start, Qt::Key_Up);
    EXPECT_EQ(f.model->settings().window.startMinutes, 10 * 60 + 15);
    // A screen reader hears a time of day and adjusts it as it does a day's bar.
    QAccessibleInterface* shared = QAccessible::queryAccessibleInterface(start);
    ASSERT_TRUE(shared && shared->valueInterface() && shared->actionInterface());
    EXPECT_EQ(shared->text(QAccessible::Value), "10:15 AM");
    shared->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
    EXPECT_EQ(f.model->settings().window.startMinutes, 10 * 60 + 30);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(start)->text(QAccessible::Value), "10:30 AM");
    f.undo.undo();
    f.undo.undo();
    f.undo.undo();
    EXPECT_EQ(f.model->settings().window.startMinutes, 9 * 60);
}

TEST(DayBars, KeysAndAScreenReaderReachEveryEditAndHearTheTime)
{
    CanvasFixture f;
    f.make();

    // A day's own bars: the value, its actions and the arrow keys move a quarter hour, one
    // undo step each.
    QAccessibleInterface* start =
        QAccessible::queryAccessibleInterface(f.column(0).bar(WindowEdge::start));
    ASSERT_TRUE(start && start->valueInterface() && start->actionInterface());
    EXPECT_EQ(start->valueInterface()->currentValue().toInt(), 540);
    start->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
    EXPECT_EQ(windowOf(*f.model, f.key(0)).startMinutes, 555);
    start = QAccessible::queryAccessibleInterface(f.column(0).bar(WindowEdge::start));
    start->valueInterface()->setCurrentValue(600);
    EXPECT_EQ(windowOf(*f.model, f.key(0)).startMinutes, 600);
    auto* end = f.column(0).bar(WindowEdge::end);
    end->setFocus();
    QTest::keyClick(end, Qt::Key_Down);
    EXPECT_EQ(windowOf(*f.model, f.key(0)).endMinutes, 17 * 60 + 15);
    QAccessibleInterface* bar =
        QAccessible::queryAccessibleInterface(f.column(0).bar(WindowEdge::end));
    EXPECT_EQ(bar->text(QAccessible::Value), "5:15 PM");
    EXPECT_TRUE(bar->actionInterface()->actionNames().contains("Follow the shared bar"));
    QTest::keyClick(f.column(0).bar(WindowEdge::end), Qt::Key_Up);
    QTest::keyClick(f.column(0).bar(WindowEdge::end), Qt::Key_Up);
    EXPECT_EQ(windowOf(*f.model, f.key(0)).endMinutes, 16 * 60 + 45);
    EXPECT_EQ(f.undo.count(), 5);

    // Delete, or the named action, follows the shared bar again.
    QTest::keyClick(f.column(0).bar(WindowEdge::end), Qt::Key_Delete);
    EXPECT_EQ(windowOf(*f.model, f.key(0)).endMinutes, 17 * 60);
    QAccessible::queryAccessibleInterface(f.column(0).bar(WindowEdge::end))
        ->valueInterface()
        ->setCurrentValue(18 * 60);
    QAccessible::queryAccessibleInterface(f.column(0).bar(WindowEdge::end))
        ->actionInterface()
        ->doAction("Follow the shared bar");
    EXPECT_EQ(windowOf(*f.model, f.key(0)), (DailyWindow{600, 17 * 60}));
    EXPECT_EQ(f.undo.count(), 8);
}

// Monday 9–12 and 13–17 around a meeting at noon.
struct BandFixture : CanvasFixture {
    BandFixture()
    {
        source->all.push_back(
            meeting("m1", "2025-03-03T12:00:00-08:00", "2025-03-03T13:00:00-08:00"));
        make();
    }
    FreeBandView* band(std::size_t i) { return column(0).bands().at(i); }
    std::string reservedText() const { return test::slotText(model->adjustments().reserved, la); }
};

TEST(FreeBands, ShowTheirRangeAndTheOtherZonesThatFitCutShort)
{
    CanvasFixture f;
    f.settings.addZone("Asia/Tokyo");
    f.settings.zones.back().label = "Tokyo office and the whole team there";
    f.settings.addZone("Europe/Berlin");
    f.source->all.push_back(
        meeting("m1", "2025-03-03T10:15:00-08:00", "2025-03-03T17:00:00-08:00"));
    f.make();
    auto* band = f.column(0).bands().at(0);
    EXPECT_EQ(band->content().range, "9:00am – 10:15am");
    EXPECT_EQ(band->accessibleName(), "Free 9:00am – 10:15am");
    EXPECT_EQ(band->objectName(), "tour.freeTime");
    // 75 minutes at 59.2 points per hour, 74 points: room for two lines.
    ASSERT_NEAR(band->height(), 74, 1);
    EXPECT_EQ(band->otherLineCount(), 2);
    const QStringList lines = band->shownOtherLines();
    ASSERT_EQ(lines.size(), 2);
    // The name gives way, the times stay whole.
    EXPECT_TRUE(lines[0].startsWith("Tok") && lines[0].contains("…")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith("  2:00am – 3:15am (Tue)")) << lines[0].toStdString();
    EXPECT_EQ(lines[1], "Berlin  6:00pm – 7:15pm");
}

TEST(FreeBands, DraggingAnEdgeOrTheirActionsTrimAndRestore)
{
    BandFixture f;
    auto* band = f.band(0);
    ASSERT_EQ(band->content().range, "9:00am – 12:00pm");
    drag(band, {50, band->height() - 3}, {0, -59});
    EXPECT_EQ(f.reservedText(), "03-03 11:00-12:00");
    EXPECT_EQ(f.undo.count(), 1);
    EXPECT_EQ(f.band(0)->content().range, "9:00am – 11:00am");

    // Outward, the band gives back time only as far as the reserved block reaches.
    band = f.band(0);
    drag(band, {50, band->height() - 3}, {0, 200});
    EXPECT_EQ(f.reservedText(), "");
    EXPECT_EQ(f.band(0)->content().range, "9:00am – 12:00pm");

    drag(f.band(1), {50, 3}, {0, 30});  // 13:30
    EXPECT_EQ(f.reservedText(), "03-03 13:00-13:30");
    QTest::mouseDClick(f.band(1), Qt::LeftButton, Qt::NoModifier, middle(f.band(1)));
    EXPECT_EQ(f.reservedText(), "");

    // A screen reader trims and restores with the band's actions.
    QAccessibleInterface* afternoon = QAccessible::queryAccessibleInterface(f.band(1));
    ASSERT_TRUE(afternoon && afternoon->actionInterface());
    EXPECT_EQ(afternoon->actionInterface()->actionNames(),
              (QStringList{"Trim start", "Trim end", "Restore"}));
    EXPECT_EQ(afternoon->text(QAccessible::Description),
              "Free time. Drag an edge to trim it; double-click to restore.");
    afternoon->actionInterface()->doAction("Trim start");
    EXPECT_EQ(f.reservedText(), "03-03 13:00-13:15");
    QAccessible::queryAccessibleInterface(f.band(1))->actionInterface()->doAction("Trim end");
    EXPECT_EQ(f.reservedText(), "03-03 13:00-13:15 03-03 16:45-17:00");
    QAccessible::queryAccessibleInterface(f.band(1))->actionInterface()->doAction("Restore");
    EXPECT_EQ(f.reservedText(), "");

    // An edge on the window's edge moves the day instead: the top is the window's 09:00.
    drag(f.band(0), {50, 2}, {0, 30});
    EXPECT_EQ(windowOf(*f.model, f.key(0)).startMinutes, 9 * 60 + 30);
    EXPECT_EQ(f.reservedText(), "");
    EXPECT_EQ(f.undo.count(), 8);
}

TEST(FreeBands, WhileDraggedTheLabelsSayWhereTheReleaseLands)
{
    BandFixture f;
    // At each step of the pointer's travel the band says what a release there commits.
    // 61 points is 61.8 minutes: the top snaps inward to 2:15pm, not 2:00pm.
    auto* band = f.band(1);
    QString said;
    drag(band, {50, 3}, {0, 61}, 4, [&] { said = band->shownRange(); });
    EXPECT_EQ(said, "2:15pm – 5:00pm");
    EXPECT_EQ(f.band(1)->content().range, said);
    EXPECT_EQ(f.band(1)->shownRange(), said);

    // Below the shortest free time, the band says it goes whole, and it does.
    band = f.band(1);
    drag(band, {50, 3}, {0, 140}, 1, [&] { said = band->shownRange(); });  // 4:37pm
    EXPECT_EQ(said, "Too short to offer");
    EXPECT_EQ(f.column(0).bands().size(), 1u);
    EXPECT_EQ(f.reservedText(), "03-03 13:00-17:00");

    // A day's bar: its label at the last movement is the committed end.
    auto* end = f.column(0).bar(WindowEdge::end);
    drag(end, middle(end), {0, -52}, 3,
         [&] { said = f.column(0).bar(WindowEdge::end)->timeLabel(); });
    EXPECT_EQ(said, "4:00pm");
    EXPECT_EQ(CanvasText::timeLabel(windowOf(*f.model, f.key(0)).endMinutes, false), said);
}

QString described(QWidget* widget)
{
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Description);
}

TEST(BusyBlocks, SayWhyTheyCountAndKeepTimeTakenOutApart)
{
    CanvasFixture f;
    f.source->all.push_back(
        meeting("m1", "2025-03-03T09:30:00-08:00", "2025-03-03T10:00:00-08:00", "Standup"));
    auto accepted =
        meeting("m2", "2025-03-03T10:00:00-08:00", "2025-03-03T10:30:00-08:00", "Review", "home");
    accepted.participation = CalendarEvent::Participation::accepted;
    f.source->all.push_back(accepted);
    auto declined =
        meeting("m3", "2025-03-03T15:00:00-08:00", "2025-03-03T15:30:00-08:00", "Sales call");
    declined.participation = CalendarEvent::Participation::declined;
    f.source->all.push_back(declined);
    f.source->all.push_back(
        meeting("m4", "2025-03-03T11:30:00-08:00", "2025-03-03T12:30:00-08:00", "Lunch"));
    f.make();

    // Two meetings that touch are one block, which gives each calendar's rule; the declined
    // call is no block at all. No title anywhere, and a screen reader finds each block.
    auto blocks = f.column(0).busyBlocks();
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0]->accessibleName(), "Busy, 9:30 to 10:30 AM");
    EXPECT_EQ(described(blocks[0]), "Work: Your own event; Family: Accepted");
    EXPECT_EQ(blocks[0]->toolTip(),
              "Busy, 9:30 to 10:30 AM\nWork: Your own event\nFamily: Accepted");
    EXPECT_TRUE(test::findAccessible(f.view.get(), "Busy, 11:30 AM to 12:30 PM"));
    EXPECT_FALSE(test::findAccessible(f.view.get(), "Standup"));
    // A calendar renamed while the window is open is named anew.
    f.source->calendarList[2].title = "Home";
    f.source->changed();
    EXPECT_TRUE(test::waitUntil(
        [&] { return f.column(0).busyBlocks()[0]->toolTip().endsWith("Home: Accepted"); }));

    // Trimmed time right after the meeting stays a block of its own, of another kind.
    auto* band = f.column(0).bands().at(1);
    ASSERT_EQ(band->content().range, "10:30am – 11:30am");
    drag(band, {50, 3}, {0, 29});  // 29.4 minutes, up to 11:00am
    ASSERT_EQ(test::slotText(f.model->adjustments().reserved, f.la), "03-03 10:30-11:00");
    blocks = f.column(0).busyBlocks();
    const auto held = f.column(0).heldBlocks();
    ASSERT_EQ(blocks.size(), 2u);
    ASSERT_EQ(held.size(), 1u);
    EXPECT_EQ(held[0]->accessibleName(), "Taken out, 10:30 to 11:00 AM");
    EXPECT_EQ(described(held[0]), "Taken out by you");
    for (QWidget* w : {static_cast<QWidget*>(blocks[0]), static_cast<QWidget*>(held[0])})
        for (const char* title : {"Standup", "Review", "Sales call"})
            EXPECT_FALSE(w->toolTip().contains(title) || described(w).contains(title));

    // Double-clicking it gives the time back; so does its accessible action.
    QTest::mouseDClick(held[0], Qt::LeftButton, Qt::NoModifier, middle(held[0]));
    EXPECT_EQ(test::slotText(f.model->adjustments().reserved, f.la), "");
    EXPECT_TRUE(f.column(0).heldBlocks().empty());
    drag(f.column(0).bands().at(1), {50, 3}, {0, 29});
    QAccessible::queryAccessibleInterface(f.column(0).heldBlocks().at(0))
        ->actionInterface()
        ->doAction("Restore");
    EXPECT_EQ(test::slotText(f.model->adjustments().reserved, f.la), "");
}

TEST(FreedMarks, AFreedMeetingLeavesAMarkThatMakesItBusyAgain)
{
    BandFixture f;
    const CalendarEvent noon = f.model->events().at(0);
    f.model->toggleMovable(noon);
    ASSERT_TRUE(f.column(0).busyBlocks().empty());
    auto marks = f.column(0).freedMarks();
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0]->accessibleName(), "Freed, 12:00 to 1:00 PM");
    EXPECT_EQ(described(marks[0]), "Work: Freed by you");
    // It lies over the band that took the time, whose texts keep clear of it.
    QWidget& column = f.column(0);
    EXPECT_EQ(column.childAt(marks[0]->geometry().center()), marks[0]);
    auto* band = qobject_cast<FreeBandView*>(
        column.childAt(marks[0]->geometry().center() - QPoint(marks[0]->width(), 0)));
    ASSERT_TRUE(band);
    EXPECT_EQ(band->content().keepClear, std::vector<QRect>{marks[0]->geometry()});

    // A click on the mark, Space on it focused, or its accessible action: busy again.
    QTest::mouseClick(marks[0], Qt::LeftButton, Qt::NoModifier, marks[0]->markRect().center());
    EXPECT_TRUE(f.model->adjustments().movable.empty());
    EXPECT_EQ(f.column(0).busyBlocks().size(), 1u);
    EXPECT_TRUE(f.column(0).freedMarks().empty());
    f.model->toggleMovable(noon);
    f.column(0).freedMarks().at(0)->setFocus();
    QTest::keyClick(f.column(0).freedMarks().at(0), Qt::Key_Space);
    EXPECT_TRUE(f.model->adjustments().movable.empty());
    f.model->toggleMovable(noon);
    QAccessibleInterface* mark = test::findAccessible(f.view.get(), "Freed, 12:00 to 1:00 PM");
    ASSERT_TRUE(mark && mark->actionInterface());
    mark->actionInterface()->doAction("Make it busy again");
    EXPECT_TRUE(f.model->adjustments().movable.empty());
}

TEST(DayColumns, OnlyTheDraggedDayRepaints)
{
    CanvasFixture f;
    f.settings.dayCount = 5;
    auto& view = f.make({1200, 652});
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    // Paint events per column, counted while one day's end is dragged.
    struct PaintCounter : QObject {
        std::map<QObject*, int> paints;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                ++paints[watched];
            return false;
        }
    } counter;
    for (std::size_t i = 0; i < 5; ++i)
        f.column(i).installEventFilter(&counter);
    QCoreApplication::processEvents();
    counter.paints.clear();

    auto* end = f.column(2).bar(WindowEdge::end);
    std::map<QObject*, int> held;
    drag(end, middle(end), {0, 60}, 3, [&] {
        QCoreApplication::processEvents();
        held = counter.paints;
    });
    EXPECT_GT(held[&f.column(2)], 0);
    for (std::size_t i : {0u, 1u, 3u, 4u})
        EXPECT_EQ(held[&f.column(i)], 0) << "column " << i;
    QCoreApplication::processEvents();
    // What the screen shows after those partial repaints is what a whole repaint draws.
    const QImage shown = view.screen()->grabWindow(view.winId()).toImage();
    const QImage whole = view.grab().toImage();
    ASSERT_EQ(shown.size(), whole.size());
    EXPECT_EQ(shown.convertToFormat(QImage::Format_RGB32),
              whole.convertToFormat(QImage::Format_RGB32));
}

TEST(DayColumns, ADaylightSavingDayStillLinesUp)
{
    CanvasFixture f;
    f.now = at("2025-03-09T06:00:00-08:00");  // Sunday; clocks go forward at 02:00
    f.settings.window = {60, 17 * 60};
    Adjustments weekends;
    weekends.exclusions.toggled.insert("2025-03-09");
    f.adjustmentsStore->save(weekends);
    f.make();
    ASSERT_FALSE(f.model->days()[0].isExcluded);
    EXPECT_EQ(f.model->hourRange(), (CanvasRules::HourRange{0, 18}));
    const auto bands = f.column(0).bands();
    ASSERT_EQ(bands.size(), 1u);
    // The band ends at 17:00 wall time, exactly where the end bar is drawn.
    EXPECT_NEAR(bands[0]->content().bottom, f.column(0).bar(WindowEdge::end)->centreY(), 1e-9);
}

TEST(DayColumns, AnEmptyDaySaysSo)
{
    CanvasFixture f;
    f.now = at("2025-03-03T18:00:00-08:00");
    f.settings.dayCount = 1;
    f.source->all.push_back(
        meeting("all", "2025-03-04T08:00:00-08:00", "2025-03-04T18:00:00-08:00"));
    auto& view = f.make();
    EXPECT_FALSE(f.model->days()[0].isToday);  // the range starts tomorrow after 17:00
    EXPECT_TRUE(f.column(0).bands().empty());
    // The events button keeps its name; the day and the count are its description.
    const QToolButton* events = view.headers()[0]->eventsButton();
    EXPECT_EQ(events->text(), "1 event");
    EXPECT_EQ(events->accessibleName(), "Show this day's events");
    EXPECT_EQ(events->accessibleDescription(), "Tuesday, March 4, 2025, 1 event");
    EXPECT_EQ(events->objectName(), "tour.events");
}

}  // namespace
}  // namespace nelvo
