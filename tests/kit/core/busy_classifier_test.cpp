#include "kit/core/busy_classifier.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::at;
using Availability = CalendarEvent::Availability;
using Participation = CalendarEvent::Participation;
using State = BusyClassifier::EventState;

CalendarEvent meeting(const char* start, const char* end, std::string calendar = "work")
{
    CalendarEvent event;
    event.eventID = "weekly";
    event.occurrenceStart = at(start);
    event.start = at(start);
    event.end = at(end);
    event.calendarID = std::move(calendar);
    event.participation = Participation::accepted;
    return event;
}

TEST(BusyClassifier, EventKindsThatBlockTime)
{
    const std::set<std::string> included{"work"};
    const std::unordered_set<AdjustmentKey> none;
    const CalendarEvent accepted = meeting("2025-03-03T15:00:00Z", "2025-03-03T16:00:00Z");
    const auto busy = [&](CalendarEvent e) { return BusyClassifier::countsAsBusy(e, included, none); };

    // An accepted meeting marked busy in an included calendar blocks time.
    EXPECT_TRUE(busy(accepted));
    // Declined, cancelled, all-day or free events never do.
    auto e = accepted;
    e.participation = Participation::declined;
    EXPECT_FALSE(busy(e));
    e = accepted;
    e.isCanceled = true;
    EXPECT_FALSE(busy(e));
    e = accepted;
    e.isAllDay = true;
    EXPECT_FALSE(busy(e));
    e = accepted;
    e.availability = Availability::free;
    EXPECT_FALSE(busy(e));
    // Every other availability and participation blocks time.
    for (auto availability : {Availability::tentative, Availability::unavailable, Availability::notSupported}) {
        e = accepted;
        e.availability = availability;
        EXPECT_TRUE(busy(e));
    }
    for (auto participation : {Participation::none, Participation::tentative, Participation::pending,
                               Participation::unknown}) {
        e = accepted;
        e.participation = participation;
        EXPECT_TRUE(busy(e));
    }
    // A calendar outside the included set does not count; an empty set counts nothing.
    EXPECT_FALSE(busy(meeting("2025-03-03T15:00:00Z", "2025-03-03T16:00:00Z", "family")));
    EXPECT_FALSE(BusyClassifier::countsAsBusy(accepted, {}, none));
}

TEST(BusyClassifier, FreeingOneOccurrenceLeavesTheOthersBusy)
{
    const std::set<std::string> included{"work"};
    const CalendarEvent monday = meeting("2025-03-03T15:00:00Z", "2025-03-03T16:00:00Z");
    const CalendarEvent nextMonday = meeting("2025-03-10T15:00:00Z", "2025-03-10T16:00:00Z");
    Adjustments adjustments;
    adjustments.toggleMovable(monday.id());

    EXPECT_FALSE(BusyClassifier::countsAsBusy(monday, included, adjustments.movable));
    EXPECT_TRUE(BusyClassifier::countsAsBusy(nextMonday, included, adjustments.movable));
    // The event list shows freed first, even for an event that would not block anyway.
    EXPECT_EQ(BusyClassifier::state(monday, included, adjustments), State::movable);
    EXPECT_EQ(BusyClassifier::state(monday, {}, adjustments), State::movable);
    EXPECT_EQ(BusyClassifier::state(nextMonday, included, adjustments), State::busy);
    EXPECT_EQ(BusyClassifier::state(nextMonday, {"home"}, adjustments), State::ignored);
}

TEST(BusyClassifier, IntervalsAreEventsInOrderThenReservedBlocks)
{
    const std::set<std::string> included{"work"};
    const CalendarEvent late = meeting("2025-03-03T18:00:00Z", "2025-03-03T19:00:00Z");
    const CalendarEvent early = meeting("2025-03-03T15:00:00Z", "2025-03-03T16:00:00Z");
    CalendarEvent declined = meeting("2025-03-03T16:00:00Z", "2025-03-03T17:00:00Z");
    declined.participation = Participation::declined;
    Adjustments adjustments;
    adjustments.reserved.push_back(
        ReservedBlock{Uuid::random(), at("2025-03-03T12:00:00Z"), at("2025-03-03T13:00:00Z")});
    const std::vector<CalendarEvent> events{late, declined, early};

    // Two busy events in input order (not sorted), then the block.
    EXPECT_EQ(BusyClassifier::busyIntervals(events, included, adjustments),
              (std::vector<BusyInterval>{{late.start, late.end},
                                         {early.start, early.end},
                                         {at("2025-03-03T12:00:00Z"), at("2025-03-03T13:00:00Z")}}));
    // With no calendar included, reserved blocks still count.
    EXPECT_EQ(BusyClassifier::busyIntervals(events, {}, adjustments),
              (std::vector<BusyInterval>{{at("2025-03-03T12:00:00Z"), at("2025-03-03T13:00:00Z")}}));
}

}  // namespace
}  // namespace nelvo
