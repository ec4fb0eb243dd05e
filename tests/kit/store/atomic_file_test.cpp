#include "kit/store/atomic_file.h"
#include "kit/store/store_test_support.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace nelvo {
namespace {

using test::folderNames;
using test::readText;
using test::TempFolder;
using test::writeText;
using Names = std::vector<std::string>;

mode_t permissions(const std::filesystem::path& path)
{
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 0777;
}

TEST(AtomicFile, ReadGivesWholeRegularFilesAndOtherwiseAReason)
{
    TempFolder folder;
    std::error_code error;
    // Bytes as they are, NULs and a size past one read buffer included.
    const std::string big = std::string(200'000, 'x') + std::string(1, '\0') + "end";
    writeText(folder / "big", big);
    EXPECT_EQ(AtomicFile::read(folder / "big", error), big);
    EXPECT_FALSE(error);
    writeText(folder / "empty", "");
    EXPECT_EQ(AtomicFile::read(folder / "empty", error), "");
    EXPECT_FALSE(error);

    EXPECT_FALSE(AtomicFile::read(folder / "missing", error));
    EXPECT_EQ(error, std::errc::no_such_file_or_directory);
    EXPECT_FALSE(AtomicFile::read(folder.path(), error));
    EXPECT_EQ(error, std::errc::is_a_directory);
    // A pipe with no writer: refused at once instead of blocking.
    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
    EXPECT_FALSE(AtomicFile::read(folder / "pipe", error));
    EXPECT_EQ(error, std::errc::invalid_argument);
    // A later success clears an earlier error.
    EXPECT_TRUE(AtomicFile::read(folder / "empty", error));
    EXPECT_FALSE(error);
}

TEST(AtomicFile, WriteReplacesTheFileWholeAndLeavesNothingBehind)
{
    TempFolder folder;
    const auto path = folder / "file.json";
    EXPECT_FALSE(AtomicFile::write(path, "first"));
    EXPECT_EQ(readText(path), "first");
    // A new file takes the usual permissions; a replaced one keeps its own.
    ::chmod(path.c_str(), 0640);
    EXPECT_FALSE(AtomicFile::write(path, "second, longer"));
    EXPECT_EQ(readText(path), "second, longer");
    EXPECT_EQ(permissions(path), 0640u);
    EXPECT_FALSE(AtomicFile::write(path, ""));
    EXPECT_EQ(readText(path), "");
    // No temporary file stays in the folder.
    EXPECT_EQ(folderNames(folder.path()), Names{"file.json"});
}

TEST(AtomicFile, FailedWriteKeepsTheOldFile)
{
    TempFolder folder;
    const auto path = folder / "file.json";
    writeText(path, "kept");
    // The folder is missing: nothing is written.
    EXPECT_EQ(AtomicFile::write(folder / "none" / "file.json", "x"),
              std::errc::no_such_file_or_directory);
    // A disk that fills up part-way: the old content stays and no temporary file is left.
    EXPECT_TRUE(test::withFileSizeLimit(
        1024, [&] { return static_cast<bool>(AtomicFile::write(path, std::string(4096, 'y'))); }));
    EXPECT_EQ(readText(path), "kept");
    EXPECT_EQ(folderNames(folder.path()), Names{"file.json"});
    // A folder where the file should be cannot be replaced.
    std::filesystem::create_directory(folder / "dir");
    EXPECT_TRUE(AtomicFile::write(folder / "dir", "x"));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "dir"));
}

TEST(AtomicFile, SetAsideReplacesAnOlderUnreadableCopy)
{
    TempFolder folder;
    const auto path = folder / "defaults.json";
    writeText(path, "older");
    EXPECT_FALSE(AtomicFile::setAsideUnreadable(path));
    writeText(path, "newer");
    EXPECT_FALSE(AtomicFile::setAsideUnreadable(path));
    EXPECT_EQ(folderNames(folder.path()), Names{"defaults.json.unreadable"});
    EXPECT_EQ(readText(folder / "defaults.json.unreadable"), "newer");
    EXPECT_EQ(AtomicFile::setAsideUnreadable(path), std::errc::no_such_file_or_directory);
}

}  // namespace
}  // namespace nelvo
