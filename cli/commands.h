#pragma once

#include "cli/command_line.h"

#include <iosfwd>

namespace nelvo {

// Exit statuses of the command line.
enum ExitStatus : int { exitDone = 0, exitBadInput = 1, exitUsage = 2 };

// Runs one parsed command (not the window) and returns its exit status. Output goes to `out`,
// messages to `err`, one line each.
int runPrint(const PrintOptions& options, std::ostream& out, std::ostream& err);
int runCalendars(const CalendarsOptions& options, std::ostream& out, std::ostream& err);
int runZones(const ZonesOptions& options, std::ostream& out);

}  // namespace nelvo
