#include "kit/store/adjustments_store.h"

#include "kit/store/store_test_support.h"
#include "support/golden.h"
#include "support/time_helpers.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using namespace test;  // the store helpers

constexpr const char* blockA = "E621E1F8-C36C-495A-93FC-0C247A3E6E5F";
constexpr const char* blockB = "0F3A2B1C-1111-4222-8333-444455556666";

// A value touching every member, with fixed identities.
Adjustments sample()
{
    Adjustments a;
    a.movable = {{"weekly-sync", at("2025-03-07T14:30:00Z")}, {"1:1", at("2025-03-06T16:00:00Z")}};
    a.reserved = {
        {*Uuid::fromString(blockA), at("2025-03-07T15:00:00Z"), at("2025-03-07T16:00:00Z")},
        {*Uuid::fromString(blockB), at("2025-03-06T13:00:00Z"), at("2025-03-06T14:15:00Z")}};
    a.overrides.set(WindowEdge::start, 600, "2025-03-07");
    a.overrides.set(WindowEdge::end, 1080, "2025-03-06");
    a.exclusions.saturdaysOff = false;
    a.exclusions.toggleOnce("2025-03-08");
    return a;
}

TEST(AdjustmentsStore, SavedFileHasStableFormAndReadsBackEqual)
{
    TempFolder folder;
    const AdjustmentsStore store(folder / "Availability" / "adjustments.json");
    // Missing file: the empty value, weekends off.
    EXPECT_EQ(store.load(), Adjustments::empty());
    // The first save creates the folder.
    ASSERT_FALSE(store.save(sample()));
    EXPECT_GOLDEN("store/adjustments.json", readFile(store.fileURL()));
    EXPECT_EQ(store.load(), sample());
    // The folder cannot be made: a file stands in its way.
    writeText(folder / "blocked", "");
    EXPECT_TRUE(
        AdjustmentsStore(folder / "blocked" / "Availability" / "adjustments.json").save(sample()));
}

TEST(AdjustmentsStore, HandWrittenFilesUnencodableTextsAndTheDefaultLocation)
{
    // Lower-case ids, offsets and fractions in instants, any member order, unknown members,
    // a repeated key, the older "weekendsOff" switch (in the data file). A repeated block id
    // keeps the first.
    const auto decoded =
        Adjustments::fromJson(readFile(testDataPath("store/hand_written_adjustments.json")));
    ASSERT_TRUE(decoded) << decoded.error;
    Adjustments expected;
    expected.reserved = {
        {*Uuid::fromString(blockA), at("2025-03-07T15:00:00Z"), at("2025-03-07T16:00:00Z")}};
    expected.movable = {{"weekly", at("2025-03-07T14:30:00Z")}};
    expected.exclusions.setWeekendsFlags(false);
    expected.overrides.set(WindowEdge::end, 1080, "2025-03-07");
    EXPECT_EQ(*decoded.value, expected);
    // "{}" and null members are the empty value.
    EXPECT_EQ(Adjustments::fromJson(R"({"movable":null,"reserved":null})").value,
              Adjustments::empty());
    // One block without "id", a wrong type or a bad instant anywhere fails the whole file.
    for (
        const char* broken :
        {R"({"reserved":[{"start":"2025-03-07T15:00:00Z","end":"2025-03-07T16:00:00Z"}]})",
         R"({"reserved":[{"id":"x","start":"2025-03-07T15:00:00Z","end":"2025-03-07T16:00:00Z"}]})",
         R"({"movable":[{"eventID":"a","occurrenceStart":"yesterday"}]})", R"({"movable":{}})",
         R"({"overrides":{"byDay":{"2025-03-07":{"start":9.5}}}})", "[]", "", "\xff"})
        EXPECT_FALSE(Adjustments::fromJson(broken)) << broken;
    EXPECT_EQ(AdjustmentsStore::defaultURL(XdgFolders::from("/home/ana", "/cfg", "/data")),
              "/data/nelvo/Availability/adjustments.json");
    // Unset or relative XDG_DATA_HOME: ~/.local/share.
    EXPECT_EQ(AdjustmentsStore::defaultURL(XdgFolders::from("/home/ana", std::nullopt, "data")),
              "/home/ana/.local/share/nelvo/Availability/adjustments.json");
    // An event id with a stray byte does not stop saving: the byte becomes U+FFFD.
    Adjustments a;
    a.movable.insert({"bad\xff", at("2025-03-07T14:30:00Z")});
    EXPECT_EQ(Adjustments::fromJson(a.toJson()).value->movable.begin()->eventID, "bad\xEF\xBF\xBD");
}

TEST(AdjustmentsStore, UnreadableFileIsKeptAsideBeforeTheNextSave)
{
    TempFolder folder;
    std::vector<std::string> reported;
    const AdjustmentsStore store(folder / "adjustments.json",
                                 [&](const std::string& line) { reported.push_back(line); });
    writeText(store.fileURL(), "{\"movable\": [ oops");
    // Loading gives the empty value, reading says why, and the file stays alone.
    EXPECT_EQ(store.load(), Adjustments::empty());
    EXPECT_FALSE(store.read());
    EXPECT_FALSE(store.read().error.empty());
    EXPECT_EQ(readFile(store.fileURL()), "{\"movable\": [ oops");
    // The save keeps it aside (under a free name: AtomicFile) and says where.
    const auto aside = folder / "adjustments.json.unreadable";
    ASSERT_FALSE(store.save(sample()));
    EXPECT_EQ(readFile(aside), "{\"movable\": [ oops");
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_NE(reported[0].find("kept as \"" + aside.string() + "\""), std::string::npos)
        << reported[0];
    EXPECT_EQ(store.load(), sample());
    // A readable file is simply replaced; what was kept aside stays.
    ASSERT_FALSE(store.save(Adjustments::empty()));
    EXPECT_EQ(reported.size(), 1u);
    EXPECT_EQ(readFile(aside), "{\"movable\": [ oops");
}

}  // namespace
}  // namespace nelvo
