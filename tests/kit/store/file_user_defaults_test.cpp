#include "kit/store/file_user_defaults.h"
#include "kit/store/in_memory_user_defaults.h"

#include "kit/store/store_test_support.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::folderNames;
using test::readText;
using test::TempFolder;
using test::writeText;

TEST(FileUserDefaults, ValuesReadBackByKind)
{
    TempFolder folder;
    FileUserDefaults defaults(folder / "nelvo" / "defaults.json");
    const std::string bytes("{\"a\":1}\0\xff\x01", 10);
    // The folder is made on the first write.
    ASSERT_TRUE(defaults.setData("settings.v1", bytes));
    ASSERT_TRUE(defaults.setBool("onboarding.completed", true));
    ASSERT_TRUE(defaults.setDouble("canvas.pointsPerHour", 72.5));
    ASSERT_TRUE(defaults.setStringList("calendars.addresses", {"ana@example.com", "ana@work.example"}));
    EXPECT_EQ(defaults.data("settings.v1"), bytes);
    EXPECT_EQ(defaults.boolValue("onboarding.completed"), true);
    EXPECT_EQ(defaults.doubleValue("canvas.pointsPerHour"), 72.5);
    EXPECT_EQ(defaults.stringList("calendars.addresses"),
              (std::vector<std::string>{"ana@example.com", "ana@work.example"}));
    // A second instance on the same file sees the same values: nothing is cached.
    EXPECT_EQ(FileUserDefaults(defaults.path()).boolValue("onboarding.completed"), true);
    // Another kind than the one stored, or a missing key, gives nothing.
    EXPECT_EQ(defaults.boolValue("canvas.pointsPerHour"), std::nullopt);
    EXPECT_EQ(defaults.data("calendars.addresses"), std::nullopt);
    EXPECT_EQ(defaults.doubleValue("tour.completed"), std::nullopt);
    // Removing a key, and a number that is not finite, leave nothing to read.
    ASSERT_TRUE(defaults.remove("onboarding.completed"));
    ASSERT_TRUE(defaults.setDouble("canvas.pointsPerHour", std::numeric_limits<double>::infinity()));
    EXPECT_EQ(defaults.boolValue("onboarding.completed"), std::nullopt);
    EXPECT_EQ(defaults.doubleValue("canvas.pointsPerHour"), std::nullopt);
    // The file is readable JSON with sorted keys, data as base64.
    EXPECT_EQ(readText(defaults.path()), "{\n"
                                         "  \"calendars.addresses\": [\n"
                                         "    \"ana@example.com\",\n"
                                         "    \"ana@work.example\"\n"
                                         "  ],\n"
                                         "  \"canvas.pointsPerHour\": null,\n"
                                         "  \"settings.v1\": {\n"
                                         "    \"base64\": \"eyJhIjoxfQD/AQ==\"\n"
                                         "  }\n"
                                         "}\n");
}

TEST(FileUserDefaults, HandWrittenFileReadsAsDocumented)
{
    const auto values = FileUserDefaults::decode(R"({
        "a": true, "b": 3, "c": [], "d": {"base64": "aGk="}, "e": {"base64": "not base64!"},
        "f": "text", "g": [1, 2], "h": {"base64": "aGk=", "more": 1}, "i": null
    })");
    ASSERT_TRUE(values);
    // Booleans, numbers (integers too), string lists and base64 data; nothing else.
    EXPECT_EQ(values->size(), 4u);
    EXPECT_EQ(values->at("a"), UserDefaults::Value{true});
    EXPECT_EQ(values->at("b"), UserDefaults::Value{3.0});
    EXPECT_EQ(values->at("c"), UserDefaults::Value{std::vector<std::string>{}});
    EXPECT_EQ(values->at("d"), UserDefaults::Value{UserDefaults::Data{"hi"}});
    // Not an object, not JSON, or absurdly deep: no values at all.
    EXPECT_FALSE(FileUserDefaults::decode("[true]"));
    EXPECT_FALSE(FileUserDefaults::decode("{\"a\": tru"));
    EXPECT_FALSE(FileUserDefaults::decode("{\"a\":" + std::string(100000, '[') + std::string(100000, ']') + "}"));
}

TEST(FileUserDefaults, ValuesOfOtherShapesSurviveWrites)
{
    TempFolder folder;
    FileUserDefaults defaults(folder / "defaults.json");
    writeText(defaults.path(), R"({"future.setting": {"nested": [1, "x"]}, "name": "Ana"})");
    ASSERT_TRUE(defaults.setBool("tour.completed", true));
    const std::string text = readText(defaults.path());
    EXPECT_NE(text.find("\"future.setting\": {\n    \"nested\": ["), std::string::npos);
    EXPECT_NE(text.find("\"name\": \"Ana\""), std::string::npos);
}

TEST(FileUserDefaults, UnreadableFileIsKeptAsideBeforeTheNextWrite)
{
    TempFolder folder;
    FileUserDefaults defaults(folder / "defaults.json");
    writeText(folder / "defaults.json.unreadable", "older");
    writeText(defaults.path(), "{\"tour.completed\": tru");
    // Reading gives nothing and changes nothing.
    EXPECT_EQ(defaults.boolValue("tour.completed"), std::nullopt);
    EXPECT_EQ(readText(defaults.path()), "{\"tour.completed\": tru");
    // The next write keeps the file aside (replacing the older one) and starts anew.
    ASSERT_TRUE(defaults.setBool("onboarding.completed", true));
    EXPECT_EQ(readText(folder / "defaults.json.unreadable"), "{\"tour.completed\": tru");
    EXPECT_EQ(defaults.boolValue("onboarding.completed"), true);
    EXPECT_EQ(folderNames(folder.path()),
              (std::vector<std::string>{"defaults.json", "defaults.json.lock", "defaults.json.unreadable"}));
}

TEST(FileUserDefaults, TwoProcessesWritingDifferentKeysLoseNeither)
{
    TempFolder folder;
    const std::filesystem::path path = folder / "defaults.json";
    constexpr int rounds = 40;
    // Both children write their own keys over and over, at the same time.
    const auto writer = [&](const std::string& prefix) {
        return [&path, prefix] {
            FileUserDefaults defaults(path);
            for (int i = 0; i < rounds; ++i)
                if (!defaults.setDouble(prefix + std::to_string(i), i))
                    return 1;
            return 0;
        };
    };
    std::vector<pid_t> children;
    for (const std::string prefix : {"window.", "cli."}) {
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(writer(prefix)());
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const auto values = FileUserDefaults::decode(readText(path));
    ASSERT_TRUE(values);
    EXPECT_EQ(values->size(), 2u * rounds);
    EXPECT_EQ(values->at("cli.39"), UserDefaults::Value{39.0});
}

TEST(FileUserDefaults, FailedWriteKeepsTheEarlierFile)
{
    TempFolder folder;
    FileUserDefaults defaults(folder / "defaults.json");
    ASSERT_TRUE(defaults.setBool("tour.completed", true));
    const std::string before = readText(defaults.path());
    // The disk fills up while the new file is written.
    const int result = test::runInChild([&] {
        test::limitFileSize(before.size() + 10);
        return defaults.setData("settings.v1", std::string(4096, 'x')) ? 1 : 0;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(readText(defaults.path()), before);
    EXPECT_EQ(folderNames(folder.path()), (std::vector<std::string>{"defaults.json", "defaults.json.lock"}));
    // The folder cannot be made.
    writeText(folder / "file", "");
    EXPECT_FALSE(FileUserDefaults(folder / "file" / "nelvo" / "defaults.json").setBool("a", true));
}

TEST(FileUserDefaults, DomainsLiveUnderXdgConfigHome)
{
    const auto folders = XdgFolders::from("/home/ana", "/cfg", std::nullopt);
    EXPECT_EQ(FileUserDefaults::standardPath(folders), "/cfg/nelvo/defaults.json");
    EXPECT_EQ(FileUserDefaults::demoPath(folders), "/cfg/nelvo/defaults.demo.json");
    // Unset or relative XDG_CONFIG_HOME: ~/.config.
    EXPECT_EQ(FileUserDefaults::standardPath(XdgFolders::from("/home/ana", "cfg", std::nullopt)),
              "/home/ana/.config/nelvo/defaults.json");
    EXPECT_EQ(XdgFolders::from("/home/ana", std::nullopt, std::nullopt).configHome, "/home/ana/.config");
}

TEST(InMemoryUserDefaults, ValuesReadBackByKind)
{
    InMemoryUserDefaults defaults;
    defaults.setBool("a", false);
    defaults.setStringList("b", {"x"});
    EXPECT_EQ(defaults.boolValue("a"), false);
    EXPECT_EQ(defaults.stringList("b"), (std::vector<std::string>{"x"}));
    EXPECT_EQ(defaults.doubleValue("a"), std::nullopt);
    defaults.remove("a");
    EXPECT_EQ(defaults.boolValue("a"), std::nullopt);
    EXPECT_EQ(defaults.writeCount(), 3);
}

}  // namespace
}  // namespace nelvo
