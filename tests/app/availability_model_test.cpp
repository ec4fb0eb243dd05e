#include "kit/core/lead_time.h"

#include "support/model_fixture.h"

#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::at;
using test::day;
using test::slotText;
using test::zone;

using Fixture = test::ModelFixture;
using test::meeting;

TEST(AvailabilityModel, WithoutAccessTheWindowsMinusReservedTimeAreFree)
{
    Fixture f;
    f.source->access = false;
    f.source->states = {{.calendarID = "/cal/work.ics",
                         .name = "/cal/work.ics",
                         .kind = CalendarState::Kind::unreadable,
                         .cause = "no such file or folder"}};
    Adjustments reserved;
    reserved.reserved.push_back(
        {Uuid::random(), at("2025-03-03T13:00:00-08:00"), at("2025-03-03T14:00:00-08:00")});
    f.adjustmentsStore->save(reserved);
    auto& model = f.make();
    // Lead time 60 minutes at 08:00: from 09:00; the reserved hour is taken out.
    EXPECT_EQ(slotText(model.slots(), f.la), "03-03 09:00-13:00 03-03 14:00-17:00");
    EXPECT_TRUE(model.calendars().empty());
    EXPECT_EQ(f.source->fetches, 0);
    // Why nothing is read is known, and nothing read counts as complete.
    EXPECT_EQ(model.calendarStates(), f.source->states);
    EXPECT_FALSE(model.isLastFetchComplete());
}

TEST(AvailabilityModel, RangeStartTomorrowPinnedAndRolledOver)
{
    // Before today's window end: today.
    Fixture before;
    before.now = at("2025-03-03T16:00:00-08:00");
    EXPECT_EQ(before.keyOf(before.make().rangeStart()), "2025-03-03");
    // At 19:00 after a 09:00-17:00 window: tomorrow.
    Fixture after;
    after.now = at("2025-03-03T19:00:00-08:00");
    const CalendarEvent early =
        meeting("early", "2025-03-04T10:00:00-08:00", "2025-03-04T11:00:00-08:00");
    const CalendarEvent late =
        meeting("late", "2025-04-14T10:00:00-07:00", "2025-04-14T11:00:00-07:00");
    after.source->all = {early, late};
    auto& model = after.make();
    EXPECT_EQ(after.keyOf(model.rangeStart()), "2025-03-04");
    EXPECT_EQ(after.keyOf(model.today()), "2025-03-03");
    // The fetch still starts today.
    EXPECT_EQ(after.keyOf(after.source->windows.at(0).first), "2025-03-03");
    EXPECT_EQ(model.events(), std::vector<CalendarEvent>{early});
    // A later start day keeps what is held and fetches from the old end on, never again from
    // today; a day whose 30 days are already held fetches nothing.
    model.setStartDay(day("2025-04-12", after.la));
    ASSERT_EQ(after.source->fetches, 2);
    EXPECT_EQ(after.source->windows.at(1).first, after.source->windows.at(0).second);
    model.setStartDay(day("2025-03-23", after.la));
    EXPECT_EQ(after.source->fetches, 2);
    EXPECT_EQ(model.events(), (std::vector<CalendarEvent>{early, late}));
    // A pinned start day; picking today clears the pin.
    auto& pinned = before.make();
    pinned.setStartDay(day("2025-03-05", before.la));
    EXPECT_EQ(pinned.startDayKey(), "2025-03-05");
    EXPECT_EQ(before.keyOf(pinned.rangeStart()), "2025-03-05");
    pinned.setStartDay(before.now);
    EXPECT_EQ(pinned.startDayKey(), std::nullopt);
    // Once the clock reaches the pinned day, the next refresh clears the pin.
    pinned.setStartDay(day("2025-03-05", before.la));
    before.now = at("2025-03-05T08:00:00-08:00");
    pinned.refreshDay();
    EXPECT_EQ(pinned.startDayKey(), std::nullopt);
    EXPECT_EQ(before.keyOf(pinned.today()), "2025-03-05");
    EXPECT_EQ(before.keyOf(pinned.rangeStart()), "2025-03-05");
}

TEST(AvailabilityModel, OnlyAZoneChangeFetchesAgainAndOptionsNotifyOnlyWhenTheyChange)
{
    Fixture f;
    auto& model = f.make();
    const int fetches = f.source->fetches;
    // Day count, window and exclusions only recompute.
    model.setDayCount(5);
    model.setSharedEdge(WindowEdge::start, 600);
    model.toggleDay("2025-03-04");
    Settings clock = model.settings();
    clock.use24Hour = true;
    model.setSettings(clock);
    EXPECT_EQ(f.source->fetches, fetches);
    EXPECT_EQ(model.span().includedKeys.size(), 5u);
    // A new primary zone fetches.
    Settings tokyo = model.settings();
    tokyo.primaryZoneID = "Asia/Tokyo";
    model.setSettings(tokyo);
    EXPECT_EQ(f.source->fetches, fetches + 1);
    EXPECT_EQ(model.zone().id(), "Asia/Tokyo");
    // So do activation and a change of the calendars.
    model.applicationBecameActive();
    f.source->changed();
    EXPECT_EQ(f.source->fetches, fetches + 3);
    // The render options notify only when they change.
    QSignalSpy options(&model, &AvailabilityModel::renderOptionsChanged);
    QSignalSpy table(&model, &AvailabilityModel::tableChanged);
    model.recompute();
    model.setSharedEdge(WindowEdge::start, 660);  // the slots change, the options do not
    EXPECT_EQ(options.count(), 0);
    EXPECT_EQ(table.count(), 1);
    const std::size_t zones = model.renderOptions()->zones.size();
    model.addZone("Europe/Berlin");
    EXPECT_EQ(options.count(), 1);
    EXPECT_EQ(model.renderOptions()->zones.size(), zones + 1);
}

TEST(AvailabilityModel, FreedMeetingsThatVanishAreForgottenUnlessTheFetchWasIncomplete)
{
    Fixture f;
    auto& model = f.make();
    model.setDayCount(5);
    const CalendarEvent gone =
        meeting("gone", "2025-03-04T10:00:00-08:00", "2025-03-04T11:00:00-08:00");
    const CalendarEvent far =
        meeting("far", "2025-03-25T10:00:00-07:00", "2025-03-25T11:00:00-07:00");
    Adjustments freed = model.adjustments();
    freed.movable = {gone.id(), far.id()};
    model.setAdjustments(freed);
    const int steps = f.undo.count();

    // An incomplete fetch keeps both; so does one the source calls complete while a calendar
    // did not answer, whose state the model publishes.
    f.source->complete = false;
    model.reload();
    EXPECT_EQ(model.adjustments().movable.size(), 2u);
    f.source->complete = true;
    f.source->states = {
        {.calendarID = "work", .name = "Work", .kind = CalendarState::Kind::noAnswer}};
    QSignalSpy statesChanged(&model, &AvailabilityModel::calendarStatesChanged);
    model.reload();
    EXPECT_EQ(model.adjustments().movable.size(), 2u);
    EXPECT_FALSE(model.isLastFetchComplete());
    EXPECT_EQ(model.calendarStates(), f.source->states);
    EXPECT_EQ(statesChanged.count(), 1);
    // A complete fetch drops the one inside the range, keeps the one outside, records no step.
    f.source->states = {{.calendarID = "work", .name = "Work"}};
    model.reload();
    EXPECT_EQ(model.adjustments().movable, (std::unordered_set<AdjustmentKey>{far.id()}));
    EXPECT_EQ(f.undo.count(), steps);
}

TEST(AvailabilityModel, MeetingsAreBusyUntilFreed)
{
    Fixture f;
    // A timed event without end or duration ends where it starts: it blocks nothing, is not
    // listed and cannot be freed.
    const CalendarEvent point =
        meeting("point", "2025-03-03T14:00:00-08:00", "2025-03-03T14:00:00-08:00");
    f.source->all = {point};
    auto& model = f.make();
    ASSERT_EQ(model.days().size(), 1u);
    EXPECT_TRUE(model.days()[0].events.empty());
    EXPECT_FALSE(model.hasMeetingToFree(model.days()[0]));
    const CalendarEvent standup =
        meeting("standup", "2025-03-03T10:00:00-08:00", "2025-03-03T11:00:00-08:00");
    f.source->all = {point, standup};
    model.reload();
    EXPECT_EQ(slotText(model.slots(), f.la), "03-03 09:00-10:00 03-03 11:00-17:00");
    EXPECT_EQ(model.days()[0].events, std::vector<CalendarEvent>{standup});
    EXPECT_TRUE(model.hasMeetingToFree(model.days()[0]));
    // Freeing plays remove and frees the hour; freeing again plays restore. Both undoable.
    model.toggleMovable(standup);
    EXPECT_EQ(slotText(model.slots(), f.la), "03-03 09:00-17:00");
    model.toggleMovable(standup);
    EXPECT_EQ(f.sounds, (std::vector<Sound>{Sound::remove, Sound::restore}));
    EXPECT_EQ(f.undo.count(), 2);
    f.undo.undo();
    EXPECT_EQ(slotText(model.slots(), f.la), "03-03 09:00-17:00");
    // Nothing of the event reaches the texts.
    EXPECT_EQ(model.chatText().find("Planning"), std::string::npos);

    // At noon, "next day" notice is not 24 hours: tomorrow's 10:00 meeting can be freed, the
    // earliest start is midnight, and a band trimmed to 10:00 may grow back to 09:00.
    Fixture noon;
    noon.now = at("2025-03-03T12:00:00-08:00");
    noon.source->all = {meeting("early", "2025-03-04T10:00:00-08:00", "2025-03-04T11:00:00-08:00")};
    auto& next = noon.make();
    Settings notice = next.settings();
    notice.leadTimeMinutes = LeadTime::nextDay;
    notice.dayCount = 2;
    next.setSettings(notice);
    EXPECT_EQ(next.earliestStart(), day("2025-03-04", noon.la));
    ASSERT_EQ(next.days().back().id, "2025-03-04");
    EXPECT_TRUE(next.hasMeetingToFree(next.days().back()));
    next.toggleMovable(noon.source->all[0]);
    next.trimBand(next.slots().at(0), WindowEdge::start, at("2025-03-04T10:00:00-08:00"));
    EXPECT_EQ(next.bandReach(next.slots().at(0), "2025-03-04").top,
              at("2025-03-04T09:00:00-08:00"));
}

TEST(AvailabilityModel, ADragIsOneUndoStepFreezesTheHourRangeAndSavesOnce)
{
    Fixture f;
    auto& model = f.make();
    const auto range = model.hourRange();
    QSignalSpy hourRange(&model, &AvailabilityModel::hourRangeChanged);
    model.beginEdgeDrag();
    model.setSharedEdge(WindowEdge::start, 570);
    model.setSharedEdge(WindowEdge::start, 600);
    model.setSharedEdge(WindowEdge::end, 1320);  // past the shown range
    model.beginEdgeDrag();                       // repeated calls are harmless
    EXPECT_EQ(model.hourRange(), range);
    EXPECT_EQ(hourRange.count(), 0);
    EXPECT_EQ(f.undo.count(), 0);
    model.endEdgeDrag();
    EXPECT_NE(model.hourRange(), range);
    EXPECT_EQ(f.undo.count(), 1);
    EXPECT_EQ(f.undo.undoText().toStdString(), "Change Availability");
    // Undo restores 09:00-17:00; redo brings back 10:00-22:00.
    f.undo.undo();
    EXPECT_EQ(model.settings().window, (DailyWindow{540, 1020}));
    f.undo.redo();
    EXPECT_EQ(model.settings().window, (DailyWindow{600, 1320}));
    // A drag that ends where it began records nothing.
    model.beginEdgeDrag();
    model.setSharedEdge(WindowEdge::start, 660);
    model.setSharedEdge(WindowEdge::start, 600);
    model.endEdgeDrag();
    EXPECT_EQ(f.undo.count(), 1);
    const std::string day = model.days().front().id;
    const Adjustments before = f.adjustmentsStore->load();
    model.beginEdgeDrag();
    model.setDayEdge(WindowEdge::start, 600, day);
    model.setDayEdge(WindowEdge::start, 630, day);
    EXPECT_EQ(f.adjustmentsStore->load(), before);  // no write per movement
    model.endEdgeDrag();
    EXPECT_EQ(f.adjustmentsStore->load(), model.adjustments());
    EXPECT_NE(model.adjustments(), before);
}

TEST(AvailabilityModel, TrimIsUndoneAndRedoneWithTheAnimationHook)
{
    Fixture f;
    auto& model = f.make();
    int animations = 0;
    model.setAnimateUndo([&](const std::function<void()>& action) {
        ++animations;
        action();
    });
    const Slot band = model.slots().at(0);  // 09:00-17:00
    model.trimBand(band, WindowEdge::start, at("2025-03-03T10:07:00-08:00"));
    // The top edge snaps down to 10:15.
    EXPECT_EQ(slotText(model.slots(), f.la), "03-03 10:15-17:00");
    ASSERT_EQ(model.adjustments().reserved.size(), 1u);
    EXPECT_EQ(model.holdKinds().at(model.adjustments().reserved[0].id), HoldKind::trimmed);
    EXPECT_EQ(f.sounds, std::vector<Sound>{Sound::tick});
    const Adjustments trimmed = model.adjustments();
    f.undo.undo();
    EXPECT_TRUE(model.adjustments().reserved.empty());
    EXPECT_EQ(f.adjustmentsStore->load(), model.adjustments());  // saved at once
    f.undo.redo();
    EXPECT_EQ(model.adjustments(), trimmed);
    EXPECT_EQ(animations, 2);
    // Redo brings back the state undo left, not a stale copy: a block that has passed
    // meanwhile and was pruned quietly stays gone.
    model.restoreBand(model.slots().at(0));
    f.now = at("2025-03-03T11:00:00-08:00");
    model.refreshDay();
    EXPECT_TRUE(model.adjustments().reserved.empty());
    f.undo.undo();  // the restore: the 09:00-10:15 block comes back
    ASSERT_EQ(model.adjustments().reserved.size(), 1u);
    f.undo.redo();
    EXPECT_TRUE(model.adjustments().reserved.empty());
    model.trimBand(model.slots().at(0), WindowEdge::start, at("2025-03-03T12:00:00-08:00"));
    // Restoring the band gives the time back.
    model.restoreBand(model.slots().at(0));
    EXPECT_EQ(slotText(model.slots(), f.la), "03-03 12:00-17:00");
}

TEST(AvailabilityModel, NudgingAnOvernightEndStaysOnTheNextDay)
{
    Fixture f;
    auto& model = f.make();
    model.setSharedEdge(WindowEdge::end, 1440 + 60);  // 09:00 to 01:00
    ASSERT_EQ(model.settings().window, (DailyWindow{540, 60}));
    model.nudgeEdge(WindowEdge::end, 15, std::nullopt);
    EXPECT_EQ(model.settings().window, (DailyWindow{540, 75}));
    // Per day: only that day's end moves, and clearing it restores the shared edge.
    const std::string key = f.keyOf(model.today());
    model.nudgeEdge(WindowEdge::end, -30, key);
    EXPECT_EQ(model.adjustments().overrides.byDay.at(key), (DayOverride{std::nullopt, 45}));
    model.setDayEdge(WindowEdge::start, 600, key);
    model.clearDayEdge(WindowEdge::end, key);
    EXPECT_EQ(model.adjustments().overrides.byDay.at(key), (DayOverride{600, std::nullopt}));
}

TEST(AvailabilityModel, DayCountIsClampedAndSilentWhenUnchanged)
{
    Fixture f;
    auto& model = f.make();
    QSignalSpy changed(&model, &AvailabilityModel::settingsChanged);
    model.setDayCount(1);   // already 1
    model.setDayCount(0);   // clamped to 1
    model.setDayCount(20);  // clamped to 14
    model.setDayCount(14);  // no change
    model.setDayCount(13);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(model.settings().dayCount, 13);
    EXPECT_EQ(f.sounds, (std::vector<Sound>{Sound::slideIn, Sound::slideOut}));
    // Clock style and zones are not undoable and leave the stack alone.
    model.setSharedEdge(WindowEdge::start, 600);
    const int steps = f.undo.count();
    model.addZone("Asia/Tokyo");
    Settings clock = model.settings();
    clock.use24Hour = true;
    model.setSettings(clock);
    EXPECT_EQ(f.undo.count(), steps);
}

TEST(AvailabilityModel, SettingsAreSavedOnceAfterABurstAndWhenTheModelGoes)
{
    Fixture f;
    auto& model = f.make();
    auto* pendingSave = model.findChild<QTimer*>();
    ASSERT_NE(pendingSave, nullptr);
    const int writes = f.defaults->writeCount();
    model.setDayCount(3);
    model.setDayCount(4);
    EXPECT_EQ(f.defaults->writeCount(), writes);
    // One save, when the delay has passed (run at once here rather than waited for).
    ASSERT_TRUE(pendingSave->isActive());
    pendingSave->stop();
    QMetaObject::invokeMethod(pendingSave, "timeout", Qt::DirectConnection);
    EXPECT_EQ(f.defaults->writeCount(), writes + 1);
    // saveSettingsNow writes at once and cancels the pending save.
    model.setDayCount(5);
    model.saveSettingsNow();
    EXPECT_FALSE(pendingSave->isActive());
    EXPECT_EQ(f.defaults->writeCount(), writes + 2);
    EXPECT_EQ(SettingsStore(f.defaults).load(f.la).dayCount, 5);
    // The window closes at once, well before the delayed save would run: saved all the same.
    f.make().setDayCount(6);
    f.model.reset();
    EXPECT_EQ(SettingsStore(f.defaults).load(f.la).dayCount, 6);
    // Nothing pending: nothing written.
    const int unchanged = f.defaults->writeCount();
    f.make();
    f.model.reset();
    EXPECT_EQ(f.defaults->writeCount(), unchanged);
}

// The texts themselves, in every format, are the command line's golden files (NelvoBinary).
TEST(AvailabilityModel, TitleAndLabelsOfTheSpan)
{
    Fixture f;
    auto& model = f.make();
    model.setDayCount(3);  // Mon to Wed
    EXPECT_EQ(model.title(), "My availability · Mar 3 – 5");
    EXPECT_EQ(model.spanLabel(), "Mon, Mar 3 – Wed, Mar 5");
    EXPECT_EQ(model.startDayLabel(), "Today");
}

}  // namespace
}  // namespace nelvo
