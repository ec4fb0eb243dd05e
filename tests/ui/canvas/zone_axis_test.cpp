#include "canvas_fixture.h"

#include "ui/canvas/day_header_view.h"
#include "ui/canvas/event_row_view.h"
#include "ui/canvas/events_list_view.h"
#include "ui/canvas/events_popover.h"
#include "ui/canvas/free_band_view.h"
#include "ui/canvas/ruler_chrome.h"
#include "ui/canvas/ruler_hours_view.h"
#include "ui/canvas/ruler_name_view.h"
#include "ui/canvas/zone_axis_view.h"
#include "ui/canvas/zone_names_row.h"
#include "ui/controls/add_zone_popover.h"

#include <QAccessibleActionInterface>
#include <QLineEdit>
#include <QToolButton>

namespace nelvo {
namespace {

using test::CanvasFixture;
using test::drag;
using test::meeting;

// Los Angeles (primary), Berlin and Tokyo.
struct RulerFixture : CanvasFixture {
    RulerFixture()
    {
        settings.addZone("Europe/Berlin");
        settings.addZone("Asia/Tokyo");
        make();
    }
    RulerChrome* ruler(std::size_t i) { return view->zoneAxis()->rulers().at(i); }
    std::string order() const
    {
        std::string out;
        for (const auto& entry : model->settings().zones)
            out += (out.empty() ? "" : " ") + entry.id;
        return out;
    }
};

TEST(ZoneRulers, DragMenuAndBadgeReorderOrRemoveAndThePrimaryStays)
{
    RulerFixture f;
    drag(f.ruler(1), {30, 100}, {140, 0});
    EXPECT_EQ(f.order(), "America/Los_Angeles Asia/Tokyo Europe/Berlin");
    drag(f.ruler(1), {30, 100}, {0, -200});  // off the top
    EXPECT_EQ(f.order(), "America/Los_Angeles Europe/Berlin");
    drag(f.ruler(0), {30, 100}, {0, -200});  // the primary one springs back
    EXPECT_EQ(f.order(), "America/Los_Angeles Europe/Berlin");
    EXPECT_FALSE(f.view->zoneAxis()->interaction().drag.has_value());
    EXPECT_EQ(f.ruler(0)->x(), CanvasStyle::axisPadding);
    drag(f.ruler(1), {30, 100}, {30, 0});  // lands on itself
    EXPECT_EQ(f.order(), "America/Los_Angeles Europe/Berlin");

    // The last ruler removes itself through its own menu: it outlives the menu.
    f.model->addZone("Asia/Tokyo");
    ASSERT_TRUE(test::chooseFromContextMenu(f.ruler(2), {30, 100}, "Remove"));
    EXPECT_EQ(f.order(), "America/Los_Angeles Europe/Berlin");
    EXPECT_FALSE(test::chooseFromContextMenu(f.ruler(0), {30, 100}, "Remove"));  // primary
    f.model->addZone("Asia/Tokyo");
    ASSERT_TRUE(test::chooseFromContextMenu(f.ruler(2), {30, 100}, "Make First"));
    EXPECT_EQ(f.order(), "Asia/Tokyo America/Los_Angeles Europe/Berlin");
    QTest::mouseClick(f.ruler(2)->removeBadge(), Qt::LeftButton);
    EXPECT_EQ(f.order(), "Asia/Tokyo America/Los_Angeles");
    EXPECT_EQ(f.undo.count(), 0);
    // Only the ruler pulled off the axis was heard going; the badge and the menu are quiet.
    EXPECT_EQ(f.sounds, std::vector<Sound>{Sound::remove});

    QTest::mouseClick(f.view->namesRow()->addButton(), Qt::LeftButton);
    auto* search = f.view->findChild<AddZonePopover*>();
    ASSERT_TRUE(search);
    search->searchField()->setText("Kolkata");
    QTest::keyClick(search->searchField(), Qt::Key_Return);
    EXPECT_EQ(f.order(), "Asia/Tokyo America/Los_Angeles Asia/Kolkata");
    EXPECT_EQ(f.view->namesRow()->addButton()->accessibleName(), "Add a time zone");
}

TEST(ZoneRulers, ShowTheirZonesHoursAndNamesCutNotSplit)
{
    RulerFixture f;
    ASSERT_EQ(f.view->zoneAxis()->rulers().size(), 3u);
    EXPECT_EQ(f.ruler(0)->accessibleName(), "Pacific Time, primary");
    const auto& tokyo = f.ruler(2)->hours()->labels();
    ASSERT_EQ(tokyo.size(), 11u);  // 8:00 to 18:00
    // 08:00 Monday in Los Angeles is 01:00 Tuesday in Tokyo.
    EXPECT_EQ(tokyo[0].time, "1:00am");
    EXPECT_EQ(tokyo[0].weekday, "Tue");
    EXPECT_EQ(tokyo[1].weekday, "");
    EXPECT_EQ(f.ruler(0)->hours()->labels()[1].time, "9:00am");
    EXPECT_EQ(f.view->namesRow()->names()[1]->name(), "Berlin");

    // A long name is cut, never split inside a word.
    const QString label = QStringLiteral("Indianapolis Headquarters Team");
    f.model->renameZone("Europe/Berlin", label.toStdString());
    RulerNameView* name = f.view->namesRow()->names()[1];
    const QStringList words = label.split(u' ');
    const QStringList lines = name->captionLines();
    ASSERT_FALSE(lines.isEmpty());
    // Each line is whole words, or ends where it was cut, with an ellipsis.
    for (const QString& line : lines) {
        const QStringList parts = line.split(u' ');
        const bool wholeWords = std::all_of(parts.begin(), parts.end(),
                                            [&](const QString& w) { return words.contains(w); });
        EXPECT_TRUE(wholeWords || line.endsWith(QChar(0x2026))) << line.toStdString();
    }
    EXPECT_TRUE(lines.front().startsWith(QStringLiteral("Indian")));

    // A double-click edits it in a field that shows the whole name, wider than the ruler.
    QTest::mouseDClick(name, Qt::LeftButton, Qt::NoModifier, name->rect().center());
    QLineEdit* editor = name->editor();
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->text(), label);
    const auto fits = [&] {
        return editor->width() > QFontMetrics(editor->font()).horizontalAdvance(editor->text());
    };
    EXPECT_TRUE(fits());
    EXPECT_GT(editor->width(), name->width());
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClicks(editor, " and Friends");
    EXPECT_TRUE(fits()) << "it grows as the name does";
    EXPECT_LE(editor->geometry().right(), editor->parentWidget()->width());
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_FALSE(name->editor());
}

TEST(ZoneRulers, TheKeyboardAndAScreenReaderDoEveryEdit)
{
    RulerFixture f;
    // The pointer's hint stays with the pointer; the keyboard is told its keys.
    EXPECT_TRUE(f.ruler(1)->toolTip().endsWith("double-click the name to rename."));
    EXPECT_FALSE(f.ruler(1)->accessibleDescription().contains("lick"));
    EXPECT_TRUE(f.ruler(1)->accessibleDescription().endsWith("F2 renames it."));

    f.ruler(1)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(f.order(), "America/Los_Angeles Asia/Tokyo Europe/Berlin");
    EXPECT_EQ(QApplication::focusWidget(), f.ruler(2));  // the keyboard moves with Berlin
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
    EXPECT_EQ(f.order(), "Europe/Berlin America/Los_Angeles Asia/Tokyo");
    EXPECT_EQ(QApplication::focusWidget(), f.ruler(0));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    EXPECT_EQ(f.order(), "America/Los_Angeles Asia/Tokyo");
    EXPECT_EQ(QApplication::focusWidget(), f.ruler(0));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);  // the primary zone stays
    EXPECT_EQ(f.order(), "America/Los_Angeles Asia/Tokyo");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    auto* name = f.view->namesRow()->names()[0];
    ASSERT_TRUE(name->editor() && name->editor()->hasFocus());
    QTest::keyClick(name->editor(), Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), f.ruler(0));

    // What a screen reader offers for each ruler, and doing it.
    QAccessibleInterface* tokyo = QAccessible::queryAccessibleInterface(f.ruler(1));
    ASSERT_TRUE(tokyo && tokyo->actionInterface());
    EXPECT_EQ(tokyo->role(), QAccessible::ListItem);
    EXPECT_EQ(tokyo->actionInterface()->actionNames(),
              (QStringList{"Make First", "Move Left", "Remove", "Rename",
                           QAccessibleActionInterface::setFocusAction()}));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(f.ruler(0))->actionInterface()->actionNames(),
              (QStringList{"Move Right", "Rename", QAccessibleActionInterface::setFocusAction()}));
    tokyo->actionInterface()->doAction("Rename");
    name = f.view->namesRow()->names()[1];
    ASSERT_TRUE(name->editor());
    name->editor()->setText("  Office ");
    QTest::keyClick(name->editor(), Qt::Key_Return);
    EXPECT_EQ(f.model->settings().zones[1].label, "Office");
    EXPECT_EQ(f.ruler(1)->accessibleName(), "Office");
    QAccessible::queryAccessibleInterface(f.ruler(1))->actionInterface()->doAction("Move Left");
    EXPECT_EQ(f.order(), "Asia/Tokyo America/Los_Angeles");
    QAccessible::queryAccessibleInterface(f.ruler(0))->actionInterface()->doAction("Remove");
    EXPECT_EQ(f.order(), "America/Los_Angeles");
    EXPECT_EQ(f.undo.count(), 0);
}

TEST(ZoneRulers, AZoneThatNoLongerResolvesStillHasARuler)
{
    CanvasFixture f;
    f.settings.zones.push_back(ZoneEntry{.id = "Mars/Olympus", .label = std::nullopt});
    f.make();
    const auto& rulers = f.view->zoneAxis()->rulers();
    ASSERT_EQ(rulers.size(), 2u);
    EXPECT_TRUE(rulers[1]->hours()->labels().empty());
    EXPECT_EQ(f.view->namesRow()->names()[1]->name(), "Mars/Olympus");
    EXPECT_EQ(f.column(0).bands().at(0)->content().otherZones.size(), 0u);
}

TEST(EventsPopover, ListsRowsInTheirThreeStatesAndFreesAMeetingFromTheKeyboard)
{
    CanvasFixture f;
    f.source->all.push_back(
        meeting("a", "2025-03-03T12:00:00-08:00", "2025-03-03T13:00:00-08:00", "Review"));
    f.source->all.push_back(
        meeting("b", "2025-03-03T12:30:00-08:00", "2025-03-03T13:30:00-08:00", "Lunch", "home"));
    auto lunchOff = meeting("c", "2025-03-03T15:00:00-08:00", "2025-03-03T16:00:00-08:00", "Gym");
    lunchOff.availability = CalendarEvent::Availability::free;
    f.source->all.push_back(lunchOff);
    auto offsite =
        meeting("d", "2025-03-03T00:00:00-08:00", "2025-03-04T00:00:00-08:00", "Offsite");
    offsite.isAllDay = true;
    f.source->all.push_back(offsite);
    auto declined =
        meeting("e", "2025-03-03T12:15:00-08:00", "2025-03-03T12:45:00-08:00", "Sales call");
    declined.participation = CalendarEvent::Participation::declined;
    f.source->all.push_back(declined);
    auto& view = f.make();
    QToolButton* button = view.headers()[0]->eventsButton();
    QTest::mouseClick(button, Qt::LeftButton);
    auto* popover = view.findChild<EventsPopover*>();
    ASSERT_TRUE(popover && popover->isVisible());
    EXPECT_FALSE(popover->isWindow());  // in the window, where screen readers look
    const auto& rows = popover->list()->rows();
    ASSERT_EQ(rows.size(), 5u);
    // By start: the all-day event, then the meetings.
    EXPECT_EQ(rows[0]->content().time, "All day");
    EXPECT_EQ(rows[0]->tagText(), "All day\nNot counted");
    EXPECT_TRUE(rows[0]->content().overlaps.isEmpty());
    const auto review = rows[1];
    // Neither the all-day event nor the declined call is said to overlap it.
    EXPECT_EQ(review->content().overlaps, QStringList{"Lunch"});
    EXPECT_EQ(review->tagText(), "Yours");
    EXPECT_EQ(rows[2]->tagText(), "Declined\nNot counted");
    EXPECT_EQ(rows[4]->tagText(), "Free\nNot counted");
    EXPECT_EQ(rows[4]->actionButton(), nullptr);

    // A screen reader finds the first row's action in the window's tree, with its time, its
    // calendar and why it counts; no name carries a title.
    QAccessibleInterface* free = test::findAccessible(&view, "Free this time");
    ASSERT_TRUE(free);
    EXPECT_EQ(free->text(QAccessible::Description), "12:00pm – 1:00pm, Work, Your own event");
    EXPECT_FALSE(test::findAccessible(&view, "Review"));
    EXPECT_FALSE(test::findAccessible(&view, "Overlaps Lunch"));

    // The keyboard is in the popover; Enter frees the focused row's meeting and stays there.
    ASSERT_EQ(QApplication::focusWidget(), review->actionButton());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ(f.model->adjustments().movable.size(), 1u);
    EXPECT_EQ(f.undo.count(), 1);
    const auto& after = popover->list()->rows();
    EXPECT_EQ(after[1]->tagText(), "Freed");
    EXPECT_EQ(QApplication::focusWidget(), after[1]->actionButton());
    QAccessibleInterface* again = test::findAccessible(&view, "Make it busy again");
    ASSERT_TRUE(again && again->actionInterface());
    again->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(f.model->adjustments().movable.empty());

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(popover->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), button);
}

}  // namespace
}  // namespace nelvo
