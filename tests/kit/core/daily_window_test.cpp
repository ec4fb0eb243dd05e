#include "kit/core/daily_window.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace nelvo {
namespace {

TEST(DailyWindow, JsonFormNeedsBothMembers)
{
    EXPECT_FALSE(DailyWindow::fromJson(R"({"startMinutes": 540})"));
    EXPECT_FALSE(DailyWindow::fromJson(R"({"startMinutes": 540, "endMinutes": true})"));
    // An end before the start is stored unchanged.
    EXPECT_EQ(DailyWindow::fromJson(R"({"startMinutes": 1320, "endMinutes": 120})").value,
              (DailyWindow{1320, 120}));
    // 64-bit extremes survive a round trip.
    const DailyWindow extreme{INT64_MIN, INT64_MAX};
    EXPECT_EQ(DailyWindow::fromJson(extreme.toJson()).value, extreme);
}

}  // namespace
}  // namespace nelvo
