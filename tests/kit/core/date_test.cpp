#include "kit/core/date.h"
#include "kit/core/date_formatter.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::at;
using test::iso;
using test::zone;

TEST(Date, IsoTextRoundTripsAndRejectsNonInstants)
{
    // Offsets, Z and fractions all name instants; the text form is UTC in whole seconds.
    EXPECT_EQ(iso(Date::fromIso8601("2025-03-03T08:00:00-08:00")), "2025-03-03T16:00:00Z");
    EXPECT_EQ(iso(Date::fromIso8601("2025-03-03T21:30:00+0530")), "2025-03-03T16:00:00Z");
    EXPECT_EQ(iso(Date::fromIso8601("2025-03-03T16:00:00.999Z")), "2025-03-03T16:00:00Z");
    // A local time with no zone, impossible dates and trailing text are not instants.
    for (const char* bad : {"2025-03-03T08:00:00", "2025-02-29T00:00:00Z", "2025-03-03T24:00:00Z",
                            "2025-03-03", "2025-03-03T08:00:00Zjunk", "", "garbage"})
        EXPECT_FALSE(Date::fromIso8601(bad)) << bad;
    // Before the reference date and fractions below a second round down.
    EXPECT_EQ(Date{-0.5}.iso8601(), "2000-12-31T23:59:59Z");
}

TEST(DateFormatter, FormatsInItsZoneAndParsesStrictly)
{
    const DateFormatter formatter("EEE, MMM d h:mma", zone("Asia/Kolkata"));
    EXPECT_EQ(formatter.string(at("2025-03-07T03:30:00Z")), "Fri, Mar 7 9:00AM");
    const DateFormatter keys("yyyy-MM-dd", zone("Europe/Berlin"));
    EXPECT_EQ(iso(keys.date("2025-03-07")), "2025-03-06T23:00:00Z");
    EXPECT_FALSE(keys.date("2025-13-45"));
    EXPECT_FALSE(keys.date("2025-03-07x"));
    // A day whose midnight was skipped parses to its first moment.
    const DateFormatter saoPaulo("yyyy-MM-dd", zone("America/Sao_Paulo"));
    EXPECT_EQ(iso(saoPaulo.date("2018-11-04")), "2018-11-04T03:00:00Z");
}

}  // namespace
}  // namespace nelvo
