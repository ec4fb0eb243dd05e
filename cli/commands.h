#pragma once

#include "cli/command_line.h"

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

namespace nelvo {

// Exit statuses of the command line.
enum ExitStatus : int { exitDone = 0, exitBadInput = 1, exitUsage = 2 };

// Runs one parsed command (not the window) and returns its exit status. Output goes to `out`,
// messages to `err`, one line each.
int runPrint(const PrintOptions& options, std::ostream& out, std::ostream& err);
int runCalendars(const CalendarsOptions& options, std::ostream& out, std::ostream& err);
int runZones(const ZonesOptions& options, std::ostream& out);
// The version and the zone rules in use.
int runVersion(std::ostream& out);

// Picks the zone rules that go with the program at `executable`: those installed beside it
// (<bindir>/../share/nelvo/zoneinfo), else those of the build tree it sits in. Must run
// before the first zone is made; ICU_TIMEZONE_FILES_DIR, when set, still wins. The line
// that says what is missing when the build made rules and neither place has them: an
// installed program never reads the rules of a build folder.
std::optional<std::string> useZoneRulesBeside(const std::filesystem::path& executable);

// The folder of the program's modules: <bindir>/../lib/nelvo, in the build tree as when
// installed.
std::filesystem::path modulesBeside(const std::filesystem::path& executable);

}  // namespace nelvo
