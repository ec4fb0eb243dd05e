#include "kit/model/busy_classifier.h"

#include "support/meeting.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::at;
using Availability = CalendarEvent::Availability;
using Participation = CalendarEvent::Participation;

CalendarEvent meeting(const char* start, const char* end)
{
    return test::meeting("weekly", start, end);
}

TEST(BusyClassifier, ReasonsDecideWhatBlocksTimeAndFreedOccurrences)
{
    const std::set<std::string> work{"work"};
    CalendarEvent accepted = meeting("2025-03-03T15:00:00Z", "2025-03-03T16:00:00Z");
    accepted.participation = Participation::accepted;
    Adjustments freed;
    freed.toggleMovable(accepted.id());
    using Reason = BusyClassifier::BusyReason;
    // Only events still to be attended block time: never declined, cancelled, all-day (even
    // marked busy), free or freed ones, nor those of a calendar left out.
    const std::set<Reason> blocking{Reason::accepted, Reason::answeredMaybe, Reason::noAnswer,
                                    Reason::markedBusy, Reason::ownEvent};
    const auto reason = [&](auto change, const Adjustments& adjustments = {}) {
        CalendarEvent e = accepted;
        change(e);
        const Reason why = BusyClassifier::reason(e, work, adjustments.movable);
        EXPECT_EQ(BusyClassifier::countsAsBusy(e, work, adjustments.movable),
                  blocking.contains(why))
            << static_cast<int>(why);
        EXPECT_EQ(why == Reason::freed, BusyClassifier::state(e, work, adjustments) ==
                                            BusyClassifier::EventState::movable);
        return why;
    };
    const auto invitation = [](Participation p) {
        return [p](CalendarEvent& e) {
            e.isInvitation = true;
            e.participation = p;
        };
    };
    EXPECT_EQ(reason([](auto&) {}), Reason::accepted);
    EXPECT_EQ(reason([](auto& e) { e.availability = Availability::tentative; }), Reason::accepted);
    EXPECT_EQ(reason([](auto& e) { e.participation = Participation::pending; }), Reason::noAnswer);
    EXPECT_EQ(reason(invitation(Participation::accepted)), Reason::accepted);
    EXPECT_EQ(reason(invitation(Participation::tentative)), Reason::answeredMaybe);
    EXPECT_EQ(reason(invitation(Participation::pending)), Reason::noAnswer);
    EXPECT_EQ(reason(invitation(Participation::unknown)), Reason::noAnswer);
    // Not among the attendees: the user's address is not known, so the event's own mark counts.
    EXPECT_EQ(reason(invitation(Participation::none)), Reason::markedBusy);
    EXPECT_EQ(reason([](auto& e) { e.participation = Participation::none; }), Reason::ownEvent);
    EXPECT_EQ(reason(invitation(Participation::declined)), Reason::declined);
    EXPECT_EQ(reason([](auto& e) { e.isCanceled = true; }), Reason::cancelled);
    EXPECT_EQ(reason([](auto& e) { e.availability = Availability::free; }), Reason::shownAsFree);
    EXPECT_EQ(reason([](auto& e) { e.calendarID = "family"; }), Reason::calendarLeftOut);
    // The first rule that fails is the one named: an all-day declined event reads "All day".
    EXPECT_EQ(reason([](auto& e) {
                  e.isAllDay = true;
                  e.participation = Participation::declined;
              }),
              Reason::allDay);
    // Freed by the user comes first, as in the events list.
    EXPECT_EQ(reason([](auto& e) { e.isCanceled = true; }, freed), Reason::freed);
    EXPECT_EQ(reason([](auto&) {}, freed), Reason::freed);
    // Freeing is for one occurrence: next Monday's still blocks. The event list shows "freed"
    // first, even where the event would not block anyway.
    const CalendarEvent nextMonday = meeting("2025-03-10T15:00:00Z", "2025-03-10T16:00:00Z");
    EXPECT_TRUE(BusyClassifier::countsAsBusy(nextMonday, work, freed.movable));
    using State = BusyClassifier::EventState;
    EXPECT_EQ(BusyClassifier::state(accepted, {}, freed), State::movable);
    EXPECT_EQ(BusyClassifier::state(nextMonday, work, freed), State::busy);
    EXPECT_EQ(BusyClassifier::state(nextMonday, {"home"}, freed), State::ignored);
}

TEST(BusyClassifier, BusyIntervalsOfEventsAndReservedBlocks)
{
    const CalendarEvent late = meeting("2025-03-03T18:00:00Z", "2025-03-03T19:00:00Z");
    const CalendarEvent early = meeting("2025-03-03T15:00:00Z", "2025-03-03T16:00:00Z");
    CalendarEvent declined = meeting("2025-03-03T16:00:00Z", "2025-03-03T17:00:00Z");
    declined.participation = Participation::declined;
    Adjustments adjustments;
    const BusyInterval reserved{at("2025-03-03T12:00:00Z"), at("2025-03-03T13:00:00Z")};
    adjustments.reserved.push_back(ReservedBlock{Uuid::random(), reserved.start, reserved.end});
    const std::vector<CalendarEvent> events{late, declined, early};
    // Busy events in input order, unsorted, then the block.
    EXPECT_EQ(
        BusyClassifier::busyIntervals(events, {"work"}, adjustments),
        (std::vector<BusyInterval>{{late.start, late.end}, {early.start, early.end}, reserved}));
    // With no calendar included, reserved blocks still count.
    EXPECT_EQ(BusyClassifier::busyIntervals(events, {}, adjustments),
              (std::vector<BusyInterval>{reserved}));
}

}  // namespace
}  // namespace nelvo
