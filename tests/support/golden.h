#pragma once

#include <string>

namespace nelvo::test {

// The committed golden file tests/data/<relativePath>. When `actual` differs, it is written
// beside the file as <name>.actual so that `diff -u` shows the change.
std::string golden(const std::string& relativePath, const std::string& actual);

std::string testDataPath(const std::string& relativePath);
std::string readFile(const std::string& path);

}  // namespace nelvo::test

// EXPECT_GOLDEN("chat/typical_week.txt", text)
#define EXPECT_GOLDEN(path, actual) EXPECT_EQ((actual), ::nelvo::test::golden((path), (actual)))
