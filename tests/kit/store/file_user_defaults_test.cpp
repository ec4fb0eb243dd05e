#include "kit/store/file_user_defaults.h"

#include "kit/store/store_test_support.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using namespace test;  // the store helpers

TEST(FileUserDefaults, ValuesReadBackByKindHandWrittenFilesAndTheLocations)
{
    TempFolder folder;
    FileUserDefaults defaults(folder / "nelvo" / "defaults.json");
    const std::string bytes("{\"a\":1}\0\xff\x01", 10);
    // The folder is made on the first write.
    ASSERT_TRUE(defaults.setData("settings.v1", bytes));
    ASSERT_TRUE(defaults.setBool("onboarding.completed", true));
    ASSERT_TRUE(defaults.setDouble("canvas.pointsPerHour", 72.5));
    ASSERT_TRUE(defaults.setStringList("calendars.addresses", {"ana@example.com"}));
    ASSERT_TRUE(defaults.remove("onboarding.completed"));
    // Another instance on the file sees it all: nothing is cached.
    const FileUserDefaults other(defaults.path());
    EXPECT_EQ(other.data("settings.v1"), bytes);
    EXPECT_EQ(other.doubleValue("canvas.pointsPerHour"), 72.5);
    EXPECT_EQ(other.stringList("calendars.addresses"), Names{"ana@example.com"});
    EXPECT_EQ(other.boolValue("onboarding.completed"), std::nullopt);
    // Another kind than the one stored gives nothing.
    EXPECT_EQ(other.boolValue("canvas.pointsPerHour"), std::nullopt);
    EXPECT_GOLDEN("store/defaults.json", readFile(defaults.path()));
    // A file written by hand: booleans, numbers, string lists and base64 data; nothing else.
    const auto values = FileUserDefaults::decode(R"({"a": true, "b": 3, "c": [],
        "d": {"base64": "aGk="}, "e": {"base64": "not base64!"}, "f": "text", "g": [1, 2],
        "h": {"base64": "aGk=", "more": 1}, "i": null})");
    ASSERT_TRUE(values);
    EXPECT_EQ(*values,
              (std::map<std::string, UserDefaults::Value, std::less<>>{
                  {"a", true}, {"b", 3.0}, {"c", Names{}}, {"d", UserDefaults::Data{"hi"}}}));
    // Not an object, or absurdly deep: no values at all (not JSON: the test below).
    EXPECT_FALSE(FileUserDefaults::decode("[true]"));
    EXPECT_FALSE(FileUserDefaults::decode("{\"a\":" + std::string(100000, '[') +
                                          std::string(100000, ']') + "}"));
    EXPECT_EQ(FileUserDefaults::demoPath(XdgFolders::from("/home/ana", "/cfg", std::nullopt)),
              "/cfg/nelvo/defaults.demo.json");
    // Unset, empty or relative XDG_CONFIG_HOME: ~/.config.
    for (const char* unset : {"", "cfg"})
        EXPECT_EQ(
            FileUserDefaults::standardPath(XdgFolders::from("/home/ana", unset, std::nullopt)),
            "/home/ana/.config/nelvo/defaults.json");
    EXPECT_EQ(XdgFolders::from("/home/ana", std::nullopt, std::nullopt).configHome,
              "/home/ana/.config");
}

TEST(FileUserDefaults, WritesKeepOtherValuesAndUnreadableFiles)
{
    TempFolder folder;
    FileUserDefaults defaults(folder / "defaults.json");
    // Values of shapes this version does not read survive a write.
    writeText(defaults.path(), R"({"future.setting": {"nested": [1, "x"]}})");
    ASSERT_TRUE(defaults.setBool("tour.completed", true));
    EXPECT_NE(readFile(defaults.path()).find("\"future.setting\": {\n    \"nested\": ["),
              std::string::npos);
    // The file may hold private calendar addresses: only the user reads it.
    EXPECT_EQ(permissions(defaults.path()), 0600u);
    // A broken file reads as empty and stays as it is...
    std::vector<std::string> reported;
    FileUserDefaults watched(defaults.path(),
                             [&](const std::string& line) { reported.push_back(line); });
    writeText(defaults.path(), "{\"tour.completed\": tru");
    EXPECT_EQ(watched.boolValue("tour.completed"), std::nullopt);
    EXPECT_EQ(watched.read().error, "not valid JSON");
    EXPECT_EQ(readFile(defaults.path()), "{\"tour.completed\": tru");
    // ... until the next write keeps it aside (under a free name: AtomicFile), says where, and
    // starts anew.
    ASSERT_TRUE(watched.setBool("onboarding.completed", true));
    EXPECT_EQ(readFile(folder / "defaults.json.unreadable"), "{\"tour.completed\": tru");
    EXPECT_EQ(reported, std::vector<std::string>{
                            "\"" + defaults.path().string() +
                            "\" could not be read (not valid JSON); it is kept as \"" +
                            defaults.path().string() + ".unreadable\" and a new one is started"});
    EXPECT_EQ(FileUserDefaults::decode(readFile(defaults.path()))->size(), 1u);
    // A file of another shape is unreadable too. A change that changes nothing writes nothing,
    // not even over a broken file.
    writeText(defaults.path(), "[1, 2]");
    EXPECT_EQ(watched.read().error, "not a JSON object");
    EXPECT_TRUE(watched.remove("no.such.key"));
    EXPECT_EQ(readFile(defaults.path()), "[1, 2]");
    EXPECT_EQ(reported.size(), 1u);
}

TEST(FileUserDefaults, ProcessesChangingOneListAtOnceLoseNothing)
{
    TempFolder folder;
    const auto path = folder / "defaults.json";
    constexpr int writers = 16;
    constexpr int rounds = 10;
    // Each process adds its own entries to one list, read and written again each time.
    std::vector<pid_t> children;
    for (int w = 0; w < writers; ++w) {
        const pid_t child = ::fork();
        if (child == 0) {
            FileUserDefaults defaults(path, {});
            bool ok = true;
            for (int i = 0; i < rounds; ++i) {
                ok &= defaults.update("calendars.locations", [&](const auto& current) {
                    auto list = current ? std::get<Names>(*current) : Names{};
                    list.push_back(std::to_string(w) + "." + std::to_string(i));
                    return std::optional<UserDefaults::Value>(list);
                });
            }
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(FileUserDefaults(path).stringList("calendars.locations")->size(),
              std::size_t{writers * rounds});
}

TEST(FileUserDefaults, FailedWritesKeepTheEarlierFileAndTooLargeOnesAreKeptAside)
{
    TempFolder folder;
    FileUserDefaults defaults(folder / "defaults.json");
    ASSERT_TRUE(defaults.setBool("tour.completed", true));
    const std::string before = readFile(defaults.path());
    // The disk fills up while the new file is written.
    EXPECT_TRUE(test::withFileSizeLimit(before.size() + 10, [&] {
        return !defaults.setData("settings.v1", std::string(4096, 'x'));
    }));
    EXPECT_EQ(readFile(defaults.path()), before);
    EXPECT_EQ(folderNames(folder.path()), (Names{"defaults.json", "defaults.json.lock"}));
    // The folder cannot be made.
    writeText(folder / "file", "");
    EXPECT_FALSE(FileUserDefaults(folder / "file" / "nelvo" / "defaults.json").setBool("a", true));
    // A file past the bound is unreadable, not read, and kept aside at the next write.
    FileUserDefaults large(folder / "large.json", {});
    writeText(large.path(), "{\"tour.completed\": true}");
    std::filesystem::resize_file(large.path(), AtomicFile::maxStoredBytes + 1);
    EXPECT_EQ(large.boolValue("tour.completed"), std::nullopt);
    EXPECT_EQ(large.read().error, "larger than 16 MB");
    ASSERT_TRUE(large.setBool("tour.completed", false));
    EXPECT_EQ(std::filesystem::file_size(folder / "large.json.unreadable"),
              AtomicFile::maxStoredBytes + 1);
    EXPECT_EQ(large.boolValue("tour.completed"), false);
}

}  // namespace
}  // namespace nelvo
