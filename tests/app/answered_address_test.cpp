#include "app/answered_address.h"
#include "app/ics_calendar_source.h"

#include "support/golden.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

TEST(AnsweredAddresses, RankingAddsUpAndTheOwnerOfAnExportedCalendarRanksFirst)
{
    // A year of a busy person's calendar as their calendar program exports it
    // (gen_ics.py --size small --owner maya.okafor@example.org --seed insight --years 1
    // --from 2025-01-06): many colleagues answer some invitations; the owner is on most.
    IcsCalendarSource source({test::testDataPath("ics/exported_by_owner.ics")});
    ASSERT_EQ(source.calendars().size(), 1u);
    const std::vector<AnsweredAddress> ranked = source.answeredAddresses();
    ASSERT_GE(ranked.size(), 2u);
    EXPECT_EQ(ranked[0].address, "maya.okafor@example.org");
    EXPECT_GT(ranked[0].events, 2 * ranked[1].events);
    const std::vector<AnsweredAddress> tallies{{"bo@example.com", 2},
                                               {"ana@example.com", 1},
                                               {"cy@example.com", 3},
                                               {"ana@example.com", 2}};
    EXPECT_EQ(rankedAddresses(tallies),
              (std::vector<AnsweredAddress>{
                  {"ana@example.com", 3}, {"cy@example.com", 3}, {"bo@example.com", 2}}));
}

}  // namespace
}  // namespace nelvo
