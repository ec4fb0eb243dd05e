#include "app/demo_calendar_source.h"
#include "app/demo_schedule.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

#include <set>

namespace nelvo {
namespace {

using test::at;
using test::iso;
using test::zone;

TEST(DemoSchedule, YieldsTheWeekDayByDayInTableOrder)
{
    const Calendar la{zone("America/Los_Angeles")};
    // Friday 14:00 to Saturday 23:59: the planning started before the window and is left out.
    std::vector<std::string> weekend;
    for (const auto& e :
         DemoSchedule::events(at("2025-03-07T14:00:00-08:00"), at("2025-03-08T23:59:00-08:00"), la))
        weekend.push_back(e.title + " " + iso(e.start) + " " + iso(e.end));
    EXPECT_EQ(weekend, (std::vector<std::string>{
                           "Gym 2025-03-08T01:30:00Z 2025-03-08T02:30:00Z",
                           "Farmers market 2025-03-08T18:00:00Z 2025-03-08T20:00:00Z",
                       }));
    // A Sunday has nothing.
    EXPECT_TRUE(
        DemoSchedule::events(at("2025-03-09T00:00:00-08:00"), at("2025-03-10T00:00:00-07:00"), la)
            .empty());
}

TEST(DemoSchedule, EventsCarryTheTemplateAndTheirCalendarAndTheSourceReadsThem)
{
    const auto week =
        DemoSchedule::events(at("2025-03-03T00:00:00-08:00"), at("2025-03-08T00:00:00-08:00"),
                             Calendar{zone("America/Los_Angeles")});
    std::set<Date> standups;
    for (const auto& e : week) {
        // One identity per template, every day; the occurrence start tells the days apart.
        EXPECT_EQ(e.eventID, "demo." + e.title);
        EXPECT_EQ(e.occurrenceStart, e.start);
        if (e.title == "Standup")
            standups.insert(e.occurrenceStart);
    }
    EXPECT_EQ(standups.size(), 5u);
    DemoCalendarSource source;
    const Date from = at("2025-03-03T00:00:00Z");
    const Date to = at("2025-03-10T00:00:00Z");

    EXPECT_TRUE(source.hasAccess());
    EXPECT_EQ(source.calendars(), DemoSchedule::calendars());
    EXPECT_EQ(source.events(from, to),
              DemoSchedule::events(from, to, Calendar(TimeZone::system())));
    EXPECT_TRUE(source.isLastFetchComplete());
}

}  // namespace
}  // namespace nelvo
