#include "kit/store/adjustments_store.h"

#include "kit/store/store_test_support.h"
#include "support/golden.h"
#include "support/time_helpers.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::at;
using test::folderNames;
using test::readText;
using test::TempFolder;
using test::writeText;

Uuid uuid(const char* text)
{
    return Uuid::fromString(text).value();
}

// A value touching every member, with fixed identities.
Adjustments sample()
{
    Adjustments a;
    a.movable = {{"weekly-sync", at("2025-03-07T14:30:00Z")}, {"1:1", at("2025-03-06T16:00:00Z")}};
    a.reserved = {
        {uuid("E621E1F8-C36C-495A-93FC-0C247A3E6E5F"), at("2025-03-07T15:00:00Z"), at("2025-03-07T16:00:00Z")},
        {uuid("0F3A2B1C-1111-4222-8333-444455556666"), at("2025-03-06T13:00:00Z"), at("2025-03-06T14:15:00Z")},
    };
    a.overrides.set(WindowEdge::start, 600, "2025-03-07");
    a.overrides.set(WindowEdge::end, 1080, "2025-03-06");
    a.exclusions.saturdaysOff = false;
    a.exclusions.toggleOnce("2025-03-08");
    return a;
}

TEST(AdjustmentsStore, SavedFileHasStableOrderAndIndentation)
{
    TempFolder folder;
    const AdjustmentsStore store(folder / "Availability" / "adjustments.json");
    // The folder is created on the first save.
    ASSERT_FALSE(store.save(sample()));
    EXPECT_GOLDEN("store/adjustments.json", readText(store.fileURL()));
    // What was written reads back equal.
    EXPECT_EQ(store.load(), sample());
    // Saving again leaves only the file: no temporary file behind.
    ASSERT_FALSE(store.save(sample()));
    EXPECT_EQ(folderNames(folder / "Availability"), (std::vector<std::string>{"adjustments.json"}));
}

TEST(AdjustmentsStore, MissingEmptyAndBrokenFilesLoadAsEmpty)
{
    TempFolder folder;
    const AdjustmentsStore store(folder / "adjustments.json");
    // Missing file.
    EXPECT_EQ(store.load(), Adjustments::empty());
    EXPECT_TRUE(store.load().exclusions.saturdaysOff && store.load().exclusions.sundaysOff);
    // "{}" and all-null members.
    writeText(store.fileURL(), "{}");
    EXPECT_EQ(store.load(), Adjustments::empty());
    writeText(store.fileURL(), R"({"exclusions":null,"movable":null,"overrides":null,"reserved":null})");
    EXPECT_EQ(store.load(), Adjustments::empty());
    // One block without "id" makes the whole file unreadable, not just the block.
    writeText(store.fileURL(), R"({"movable":[{"eventID":"a","occurrenceStart":"2025-03-07T14:30:00Z"}],
        "reserved":[{"start":"2025-03-07T15:00:00Z","end":"2025-03-07T16:00:00Z"}]})");
    EXPECT_EQ(store.load(), Adjustments::empty());
    // Wrong types, bad instants, bad UUIDs, JSON that is not an object, not JSON at all.
    for (const char* broken : {R"({"movable":{}})", R"({"reserved":[{"id":"x","start":"2025-03-07T15:00:00Z","end":"2025-03-07T16:00:00Z"}]})",
                               R"({"movable":[{"eventID":"a","occurrenceStart":"yesterday"}]})",
                               R"({"exclusions":{"saturdaysOff":"yes"}})", R"({"overrides":{"byDay":{"2025-03-07":{"start":9.5}}}})",
                               "[]", "", "{\"movable\":[", "\xff\xfe"})
        EXPECT_FALSE(Adjustments::fromJson(broken)) << broken;
    // A folder where the file should be.
    std::filesystem::create_directories(folder / "dir.json");
    EXPECT_EQ(AdjustmentsStore(folder / "dir.json").load(), Adjustments::empty());
}

TEST(AdjustmentsStore, HandWrittenFileReadsAsDocumented)
{
    // Lower-case ids, offsets and fractions in instants, members in any order, unknown members.
    const auto decoded = Adjustments::fromJson(R"({
        "reserved": [
            {"start": "2025-03-07T10:00:00-05:00", "end": "2025-03-07T16:00:00.000Z",
             "id": "e621e1f8-c36c-495a-93fc-0c247a3e6e5f", "note": "ignored"}
        ],
        "movable": [
            {"occurrenceStart": "2025-03-07T14:30:00Z", "eventID": "weekly"},
            {"occurrenceStart": "2025-03-07T14:30:00Z", "eventID": "weekly"}
        ],
        "exclusions": {"weekendsOff": false, "toggled": ["2025-03-08"]},
        "overrides": {"byDay": {"2025-03-07": {"end": 1080}}},
        "version": 7
    })");
    ASSERT_TRUE(decoded) << decoded.error;
    const Adjustments& a = *decoded.value;
    ASSERT_EQ(a.reserved.size(), 1u);
    EXPECT_EQ(a.reserved[0].id.string(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    EXPECT_EQ(a.reserved[0].start, at("2025-03-07T15:00:00Z"));
    EXPECT_EQ(a.reserved[0].end, at("2025-03-07T16:00:00Z"));
    // The movable set holds each key once.
    EXPECT_EQ(a.movable, (std::unordered_set<AdjustmentKey>{{"weekly", at("2025-03-07T14:30:00Z")}}));
    // The older "weekendsOff" switch sets both days.
    EXPECT_FALSE(a.exclusions.saturdaysOff);
    EXPECT_FALSE(a.exclusions.sundaysOff);
    EXPECT_EQ(a.overrides.byDay.at("2025-03-07"), (DayOverride{std::nullopt, 1080}));
}

TEST(AdjustmentsStore, RepeatedBlockIdKeepsTheFirstBlock)
{
    const auto decoded = Adjustments::fromJson(R"({"reserved": [
        {"id": "E621E1F8-C36C-495A-93FC-0C247A3E6E5F", "start": "2025-03-07T15:00:00Z", "end": "2025-03-07T16:00:00Z"},
        {"id": "0F3A2B1C-1111-4222-8333-444455556666", "start": "2025-03-07T17:00:00Z", "end": "2025-03-07T18:00:00Z"},
        {"id": "e621e1f8-c36c-495a-93fc-0c247a3e6e5f", "start": "2025-03-07T19:00:00Z", "end": "2025-03-07T20:00:00Z"}
    ]})");
    ASSERT_TRUE(decoded) << decoded.error;
    const auto& reserved = decoded.value->reserved;
    ASSERT_EQ(reserved.size(), 2u);
    EXPECT_EQ(reserved[0].start, at("2025-03-07T15:00:00Z"));
    EXPECT_EQ(reserved[1].start, at("2025-03-07T17:00:00Z"));
    // So hold kinds stay one entry per block.
    EXPECT_EQ(decoded.value->holdKinds({}).size(), reserved.size());
}

TEST(AdjustmentsStore, UnreadableFileIsKeptAsideBeforeTheNextSave)
{
    TempFolder folder;
    const AdjustmentsStore store(folder / "adjustments.json");
    const std::filesystem::path aside = folder / "adjustments.json.unreadable";
    writeText(aside, "an older unreadable file");
    writeText(store.fileURL(), "{\"movable\": [ oops");
    // Loading gives the defaults and leaves the file alone.
    EXPECT_EQ(store.load(), Adjustments::empty());
    EXPECT_EQ(readText(store.fileURL()), "{\"movable\": [ oops");
    // The save moves it aside, replacing the older one, and writes the new value.
    ASSERT_FALSE(store.save(sample()));
    EXPECT_EQ(readText(aside), "{\"movable\": [ oops");
    EXPECT_EQ(store.load(), sample());
    // A readable file is simply replaced; what was set aside stays.
    ASSERT_FALSE(store.save(Adjustments::empty()));
    EXPECT_EQ(readText(aside), "{\"movable\": [ oops");
    EXPECT_EQ(store.load(), Adjustments::empty());
}

TEST(AdjustmentsStore, FailedSaveLeavesThePreviousFileWhole)
{
    TempFolder folder;
    const AdjustmentsStore store(folder / "adjustments.json");
    ASSERT_FALSE(store.save(sample()));
    const std::string before = readText(store.fileURL());

    // The disk fills up halfway through the new file.
    Adjustments large = sample();
    for (int i = 0; i < 2000; ++i)
        large.movable.insert({"event-" + std::to_string(i), at("2025-03-07T14:30:00Z")});
    const int result = test::runInChild([&] {
        test::limitFileSize(before.size() + 100);
        return store.save(large) == std::errc::file_too_large ? 0 : 1;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(readText(store.fileURL()), before);
    EXPECT_EQ(folderNames(folder.path()), (std::vector<std::string>{"adjustments.json"}));

    // The folder cannot be made: a file stands where it should be.
    writeText(folder / "blocked", "");
    const AdjustmentsStore blocked(folder / "blocked" / "Availability" / "adjustments.json");
    EXPECT_TRUE(blocked.save(sample()));
}

TEST(AdjustmentsStore, DefaultLocationFollowsXdgDataHome)
{
    EXPECT_EQ(AdjustmentsStore::defaultURL(XdgFolders::from("/home/ana", "/cfg", "/data")),
              "/data/nelvo/Availability/adjustments.json");
    // Unset, empty or relative: ~/.local/share.
    for (std::optional<std::string_view> unset : {std::optional<std::string_view>{}, std::optional<std::string_view>{""},
                                                  std::optional<std::string_view>{"relative/data"}})
        EXPECT_EQ(AdjustmentsStore::defaultURL(XdgFolders::from("/home/ana", std::nullopt, unset)),
                  "/home/ana/.local/share/nelvo/Availability/adjustments.json");
}

TEST(AdjustmentsStore, UnencodableTextsDoNotStopSaving)
{
    // An event identifier from a calendar file with a stray byte: saved with U+FFFD instead.
    Adjustments a;
    a.movable.insert({"bad\xff", at("2025-03-07T14:30:00Z")});
    const auto decoded = Adjustments::fromJson(a.toJson());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded.value->movable.begin()->eventID, "bad\xEF\xBF\xBD");
}

}  // namespace
}  // namespace nelvo
