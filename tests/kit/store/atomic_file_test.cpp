#include "kit/store/atomic_file.h"

#include "kit/store/store_test_support.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace nelvo {
namespace {

using namespace test;  // the store helpers

TEST(AtomicFile, KeptFilesAreNeverReplacedAndTheOldestGoesOnlyPastTheBound)
{
    TempFolder folder;
    const auto path = folder / "adjustments.json";
    std::error_code error;
    // Each unreadable file gets the next free name.
    for (int i = 0; i < 3; ++i) {
        writeText(path, "broken " + std::to_string(i));
        const auto kept = AtomicFile::setAsideUnreadable(path, error);
        ASSERT_TRUE(kept) << error.message();
        EXPECT_EQ(kept->filename(), i == 0 ? "adjustments.json.unreadable"
                                           : "adjustments.json.unreadable." + std::to_string(i));
    }
    EXPECT_EQ(readFile(folder / "adjustments.json.unreadable"), "broken 0");
    EXPECT_EQ(readFile(folder / "adjustments.json.unreadable.2"), "broken 2");
    // A gap the user made is filled first.
    std::filesystem::remove(folder / "adjustments.json.unreadable.1");
    writeText(path, "broken 3");
    EXPECT_EQ(AtomicFile::setAsideUnreadable(path, error)->filename(),
              "adjustments.json.unreadable.1");
    // Every name taken: the oldest goes, the others move down, the newest comes last.
    for (int i = 3; i < AtomicFile::maxKeptUnreadable; ++i)
        writeText(folder / ("adjustments.json.unreadable." + std::to_string(i)),
                  "old " + std::to_string(i));
    writeText(path, "newest");
    const auto last = AtomicFile::setAsideUnreadable(path, error);
    ASSERT_TRUE(last) << error.message();
    EXPECT_EQ(last->filename(),
              "adjustments.json.unreadable." + std::to_string(AtomicFile::maxKeptUnreadable - 1));
    EXPECT_EQ(readFile(*last), "newest");
    EXPECT_EQ(readFile(folder / "adjustments.json.unreadable"), "broken 3");
    EXPECT_EQ(readFile(folder / "adjustments.json.unreadable.1"), "broken 2");
    EXPECT_EQ(folderNames(folder.path()).size(), std::size_t(AtomicFile::maxKeptUnreadable));
    // Nothing to keep: the error says so.
    EXPECT_FALSE(AtomicFile::setAsideUnreadable(path, error));
    EXPECT_EQ(error, std::errc::no_such_file_or_directory);
}

TEST(AtomicFile, ReadGivesWholeRegularFilesWithinTheBoundAndOtherwiseAReason)
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
    writeText(folder / "small", "1234");
    EXPECT_EQ(AtomicFile::read(folder / "small", error, 4), "1234");
    EXPECT_FALSE(AtomicFile::read(folder / "small", error, 3));
    EXPECT_EQ(error, std::errc::file_too_large);

    EXPECT_FALSE(AtomicFile::read(folder / "missing", error));
    EXPECT_EQ(error, std::errc::no_such_file_or_directory);
    EXPECT_FALSE(AtomicFile::read(folder.path(), error));
    EXPECT_EQ(error, std::errc::is_a_directory);
    EXPECT_EQ(AtomicFile::reason(error), "a folder, not a file");
    EXPECT_FALSE(AtomicFile::read("/dev/zero", error));
    EXPECT_EQ(AtomicFile::reason(error), "not a regular file");
    std::filesystem::create_symlink(folder / "loop", folder / "loop");
    EXPECT_FALSE(AtomicFile::read(folder / "loop", error));
    EXPECT_EQ(AtomicFile::reason(error), "a loop of symbolic links");
    // A pipe with no writer: refused at once instead of blocking.
    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
    EXPECT_FALSE(AtomicFile::read(folder / "pipe", error));
    EXPECT_EQ(error, std::errc::invalid_argument);
    // A later success clears an earlier error.
    EXPECT_TRUE(AtomicFile::read(folder / "empty", error));
    EXPECT_FALSE(error);
    // The system's own words, in lower case.
    EXPECT_EQ(AtomicFile::reason(std::make_error_code(std::errc::no_space_on_device)),
              "no space left on device");
}

TEST(AtomicFile, WriteReplacesTheFileWholeOrKeepsTheOldOneAndLeavesNothingBehind)
{
    TempFolder folder;
    const auto path = folder / "file.json";
    EXPECT_FALSE(AtomicFile::write(path, "first"));
    EXPECT_EQ(readFile(path), "first");
    // A new file takes the usual permissions; a replaced one keeps its own.
    ::chmod(path.c_str(), 0640);
    EXPECT_FALSE(AtomicFile::write(path, "second, longer"));
    EXPECT_EQ(readFile(path), "second, longer");
    EXPECT_EQ(permissions(path), 0640u);
    // A private file is the owner's alone, whatever the old one allowed.
    EXPECT_FALSE(AtomicFile::writePrivate(path, "secret"));
    EXPECT_EQ(permissions(path), 0600u);
    EXPECT_FALSE(AtomicFile::write(path, ""));
    EXPECT_EQ(readFile(path), "");
    // No temporary file stays in the folder.
    EXPECT_EQ(folderNames(folder.path()), Names{"file.json"});
    // A failed write keeps the old file.
    writeText(path, "kept");
    // The folder is missing: nothing is written.
    EXPECT_EQ(AtomicFile::write(folder / "none" / "file.json", "x"),
              std::errc::no_such_file_or_directory);
    // A disk that fills up part-way: the old content stays and no temporary file is left.
    EXPECT_TRUE(test::withFileSizeLimit(
        1024, [&] { return static_cast<bool>(AtomicFile::write(path, std::string(4096, 'y'))); }));
    EXPECT_EQ(readFile(path), "kept");
    EXPECT_EQ(folderNames(folder.path()), Names{"file.json"});
    // A folder where the file should be: the rename fails, and its temporary file goes too.
    std::filesystem::create_directory(folder / "dir");
    EXPECT_TRUE(AtomicFile::write(folder / "dir", "x"));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "dir"));
    EXPECT_EQ(folderNames(folder.path()), (Names{"dir", "file.json"}));
}

}  // namespace
}  // namespace nelvo
