#include "kit/core/calendar_event.h"

#include "support/meeting.h"

#include <gtest/gtest.h>

#include <unordered_set>

namespace nelvo {
namespace {

TEST(CalendarEvent, IdentityEqualityAndViewId)
{
    // Same occurrence, other title: unequal records, the same identity.
    const CalendarEvent a = test::meeting("E1", "2025-03-07T14:00:00Z", "2025-03-07T15:00:00Z");
    const CalendarEvent b =
        test::meeting("E1", "2025-03-07T14:00:00Z", "2025-03-07T15:00:00Z", "Retro");
    EXPECT_NE(a, b);
    EXPECT_EQ(a.id(), b.id());
    std::unordered_set<CalendarEvent> events{a, b, a};
    EXPECT_EQ(events.size(), 2u);
    std::unordered_set<AdjustmentKey> keys{a.id(), b.id()};
    EXPECT_EQ(keys.size(), 1u);
    // The view id: whole seconds end in ".0"; fractions are the shortest round-trip text.
    EXPECT_EQ(a.viewID(), "work|E1|763048800.0");
    CalendarEvent c = a;
    c.occurrenceStart = Date{763048800.25};
    EXPECT_EQ(c.viewID(), "work|E1|763048800.25");
    c.occurrenceStart = Date{0.1};
    EXPECT_EQ(c.viewID(), "work|E1|0.1");
    c.occurrenceStart = Date{-5};
    EXPECT_EQ(c.viewID(), "work|E1|-5.0");
}

}  // namespace
}  // namespace nelvo
