#include "kit/core/date_formatter.h"

#include "support/time_helpers.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::at;
using test::iso;
using test::zone;

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
    EXPECT_EQ(&DateFormatter::cached("h:mm", zone("Europe/Berlin")),
              &DateFormatter::cached("h:mm", zone("Europe/Berlin")));
}

}  // namespace
}  // namespace nelvo
