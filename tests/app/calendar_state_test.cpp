#include "app/calendar_state.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

// Only a saved copy stands in for a calendar; every other trouble may hide busy time. The
// line names the calendar, the cause and, for a saved copy, its age.
TEST(CalendarState, WhatHidesBusyTimeAndHowItIsSaid)
{
    using Kind = CalendarState::Kind;
    const Date now{1000 * 86400.0};
    CalendarState state{.calendarID = "uid-1", .name = "Work (Office)", .cause = "offline"};
    std::vector<bool> hides;
    for (Kind kind : {Kind::upToDate, Kind::firstSync, Kind::savedCopy, Kind::needsSignIn,
                      Kind::unreadable, Kind::noAnswer}) {
        state.kind = kind;
        hides.push_back(state.hidesBusyTime());
    }
    EXPECT_EQ(hides, (std::vector<bool>{false, true, false, true, true, true}));

    state.kind = Kind::savedCopy;
    state.asOf = now.addingSeconds(-3 * 3600 - 59);
    EXPECT_EQ(state.line(now),
              "\"Work (Office)\" is offline; its events as of 3 hours ago are used");
    state.asOf = now.addingSeconds(-59);
    EXPECT_EQ(state.shortCause(now), "offline; up to date as of just now");
    state.asOf = now.addingSeconds(-50 * 3600);
    EXPECT_EQ(state.shortCause(now), "offline; up to date as of 2 days ago");

    const CalendarState gone{.calendarID = "/cal/work.ics",
                             .name = "/cal/work.ics",
                             .kind = Kind::unreadable,
                             .cause = "no such file or folder"};
    EXPECT_EQ(gone.line(now), "cannot read calendar \"/cal/work.ics\": no such file or folder");
    EXPECT_EQ(troubledStates({state, {.calendarID = "b", .name = "B"}, gone}),
              (std::vector<CalendarState>{state, gone}));
}

}  // namespace
}  // namespace nelvo
