#pragma once

#include <string>
#include <string_view>

namespace nelvo {

// Text rules of iCalendar content lines, and the quoting of file text in messages.
namespace IcsText {

char lowerAscii(char c);
bool equalsIgnoringCase(std::string_view a, std::string_view b);
bool startsWithIgnoringCase(std::string_view text, std::string_view prefix);
std::string lowered(std::string_view text);
// Without spaces, tabs and carriage returns at either end.
std::string_view trimmed(std::string_view text);
// Whether `needle` (lower case) occurs in `text`, ignoring the case of `text`.
bool containsLowered(std::string_view text, std::string_view needle);

// The name of a content line: everything before the first ';' or ':'.
std::string_view propertyName(std::string_view line);
// The value of a content line: everything after the first ':' outside double quotes.
std::string_view propertyValue(std::string_view line);
// The parameters of a content line: between the name and the value, without the ';'.
std::string_view propertyParameters(std::string_view line);
// TEXT values escape "\\", "\;", "\," and "\n".
std::string unescapedText(std::string_view value);
// Cut at a character boundary of UTF-8 text.
std::string truncatedUtf8(std::string text, std::size_t maxBytes);

// "mailto:Ana@Example.com " -> "ana@example.com".
std::string normalizedAddress(std::string_view address);

// The text in double quotes, as messages quote paths.
std::string inQuotes(std::string_view text);
// Text taken from a file, fit for a message line: control characters become '?', and
// anything past `maxBytes` is cut and marked with "...".
std::string quotedForMessage(std::string_view text, std::size_t maxBytes = 64);

}  // namespace IcsText

}  // namespace nelvo
