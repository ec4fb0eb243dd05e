#pragma once

#include <filesystem>
#include <string>

namespace nelvo {

// Which zone rules every zone of the program follows: rules compiled from tzdata (a folder
// holding zoneinfo64.res), or ICU's built-in ones, which are as old as ICU's release.
// The program picks the folder once, before the first zone is made; without a choice the
// folder of the build (when it has one) serves. ICU_TIMEZONE_FILES_DIR, when set, wins.
namespace ZoneRules {

// The compiled rules file a folder must hold.
inline constexpr const char* fileName = "zoneinfo64.res";

// Uses the rules in `folder`. False, changing nothing, when the folder holds no rules or
// zones were already made.
bool useFolder(const std::filesystem::path& folder);

// The rules in use, for `nelvo --version`: "tzdata 2025b (/usr/share/nelvo/zoneinfo)", or
// "ICU's built-in tzdata 2023c" when no folder is in use.
std::string description();

}  // namespace ZoneRules

}  // namespace nelvo
