#pragma once

#include "app/source_problem.h"

#include <optional>
#include <string>

namespace nelvo {

// A calendar location as the user chose it: a path to an iCalendar file or folder, where
// "~" and "~/" stand for the home folder. The one place that expands it and decides whether
// it can be read, for the sources and the command line alike.
namespace CalendarLocation {

// The path with a leading "~" or "~/" replaced by $HOME; as given otherwise.
std::string expanded(const std::string& location);

// The expanded path without trailing slashes: the path messages name.
std::string trimmed(const std::string& location);

// Empty when the location is a file or folder that can be read; else why not, in lower case.
std::optional<std::string> whyUnreadable(const std::string& location);

// Empty when the location is a file or folder that can be read; else the unreadable-calendar
// problem that says why, naming the expanded path.
std::optional<SourceProblem> problem(const std::string& location);

// The unreadable-calendar problem of a path with a reason.
SourceProblem unreadable(const std::string& path, const std::string& reason);

// The English text of an error number, in lower case as messages are ("permission denied",
// "no such file or folder"); never the user's language.
std::string reason(int error);

}  // namespace CalendarLocation

}  // namespace nelvo
