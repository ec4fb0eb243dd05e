#include "kit/store/atomic_file.h"

#include "kit/store/store_test_support.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::folderNames;
using test::readText;
using test::TempFolder;
using test::writeText;

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
    EXPECT_EQ(readText(folder / "adjustments.json.unreadable"), "broken 0");
    EXPECT_EQ(readText(folder / "adjustments.json.unreadable.2"), "broken 2");
    // A gap the user made is filled first.
    std::filesystem::remove(folder / "adjustments.json.unreadable.1");
    writeText(path, "broken 3");
    EXPECT_EQ(AtomicFile::setAsideUnreadable(path, error)->filename(), "adjustments.json.unreadable.1");
    // Every name taken: the oldest goes, the others move down, the newest comes last.
    for (int i = 3; i < AtomicFile::maxKeptUnreadable; ++i)
        writeText(folder / ("adjustments.json.unreadable." + std::to_string(i)), "old " + std::to_string(i));
    writeText(path, "newest");
    const auto last = AtomicFile::setAsideUnreadable(path, error);
    ASSERT_TRUE(last) << error.message();
    EXPECT_EQ(last->filename(), "adjustments.json.unreadable." + std::to_string(AtomicFile::maxKeptUnreadable - 1));
    EXPECT_EQ(readText(*last), "newest");
    EXPECT_EQ(readText(folder / "adjustments.json.unreadable"), "broken 3");
    EXPECT_EQ(readText(folder / "adjustments.json.unreadable.1"), "broken 2");
    EXPECT_EQ(folderNames(folder.path).size(), std::size_t(AtomicFile::maxKeptUnreadable));
    // Nothing to keep: the error says so.
    EXPECT_FALSE(AtomicFile::setAsideUnreadable(path, error));
    EXPECT_EQ(error, std::errc::no_such_file_or_directory);
}

TEST(AtomicFile, ReadsOnlyRegularFilesWithinTheBound)
{
    TempFolder folder;
    std::error_code error;
    writeText(folder / "small", "1234");
    EXPECT_EQ(AtomicFile::read(folder / "small", error, 4), "1234");
    EXPECT_FALSE(AtomicFile::read(folder / "small", error, 3));
    EXPECT_EQ(error, std::errc::file_too_large);
    EXPECT_FALSE(AtomicFile::read(folder.path, error));
    EXPECT_EQ(AtomicFile::reason(error), "a folder, not a file");
    EXPECT_FALSE(AtomicFile::read("/dev/zero", error));
    EXPECT_EQ(AtomicFile::reason(error), "not a regular file");
    std::filesystem::create_symlink(folder / "loop", folder / "loop");
    EXPECT_FALSE(AtomicFile::read(folder / "loop", error));
    EXPECT_EQ(AtomicFile::reason(error), "a loop of symbolic links");
    EXPECT_EQ(AtomicFile::reason(std::make_error_code(std::errc::no_space_on_device)),
              "no space left on device");
    EXPECT_EQ(AtomicFile::reason(std::make_error_code(std::errc::read_only_file_system)),
              "read-only file system");
}

}  // namespace
}  // namespace nelvo
