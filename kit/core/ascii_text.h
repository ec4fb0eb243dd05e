#pragma once

#include <string>
#include <string_view>

namespace nelvo {

// Text rules for protocol words, identifiers, file names and the program's own messages:
// ASCII only, whatever the machine's locale (the C library's case rules follow it). Texts
// the user typed are Unicode: see HorizontalSpace and ZoneCatalog's folded search.
namespace AsciiText {

constexpr char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
constexpr char upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
// Other bytes, UTF-8 sequences among them, stay as they are.
std::string lowered(std::string_view text);
std::string uppered(std::string_view text);

bool equalsIgnoringCase(std::string_view a, std::string_view b);
bool startsWithIgnoringCase(std::string_view text, std::string_view prefix);
bool endsWithIgnoringCase(std::string_view text, std::string_view suffix);

// Without the spaces, tabs and carriage returns at either end: what line-based formats
// leave around a value. Never line feeds.
std::string_view trimmed(std::string_view text);

// The text in straight double quotes, as messages show a path or a value the user gave:
// cannot read "a b.ics". Nothing inside is escaped.
std::string quoted(std::string_view text);

}  // namespace AsciiText

}  // namespace nelvo
