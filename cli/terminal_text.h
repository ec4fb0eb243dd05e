#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace nelvo {

// Text that came from outside the program (a calendar file, a stored path, a file name), made
// fit to print on one line of a terminal: control characters (C0, DEL, C1), which could
// move the cursor, retitle the window or hide what follows, become "?", and anything past
// `maxBytes` is cut at a character boundary and ends with "…". Bytes that are not UTF-8
// become "?" too.
namespace TerminalText {

inline constexpr std::size_t maxBytes = 300;

std::string safe(std::string_view text, std::size_t limit = maxBytes);

// safe(text) in double quotes: the form messages name paths and values in.
std::string quoted(std::string_view text);

}  // namespace TerminalText

}  // namespace nelvo
