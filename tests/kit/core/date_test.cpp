#include "kit/core/date.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::iso;

TEST(Date, IsoTextRoundTripsAndRejectsNonInstants)
{
    // Offsets, Z and fractions all name instants; the text form is UTC in whole seconds.
    EXPECT_EQ(iso(Date::fromIso8601("2025-03-03T08:00:00-08:00")), "2025-03-03T16:00:00Z");
    EXPECT_EQ(iso(Date::fromIso8601("2025-03-03T21:30:00+0530")), "2025-03-03T16:00:00Z");
    EXPECT_EQ(iso(Date::fromIso8601("2025-03-03T16:00:00.999Z")), "2025-03-03T16:00:00Z");
    EXPECT_EQ(Date::fromIso8601("2001-01-01T00:00:00Z")->seconds, 0.0);
    // A local time with no zone, impossible dates and trailing text are not instants.
    for (const char* bad : {"2025-03-03T08:00:00", "2025-02-29T00:00:00Z", "2025-03-03T24:00:00Z",
                            "2025-03-03", "2025-03-03T08:00:00Zjunk", "", "garbage"})
        EXPECT_FALSE(Date::fromIso8601(bad)) << bad;
    // Before the reference date and fractions below a second round down.
    EXPECT_EQ(Date{-0.5}.iso8601(), "2000-12-31T23:59:59Z");
}

}  // namespace
}  // namespace nelvo
