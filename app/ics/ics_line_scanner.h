#pragma once

#include <string>
#include <string_view>

namespace nelvo {

// The content lines of an iCalendar text, one by one: a physical line and its folded
// continuations. The name is found without joining; the whole line is joined only when
// asked for, because folded descriptions are most of a real file and are dropped by name.
class IcsLineScanner {
public:
    explicit IcsLineScanner(std::string_view text);

    // Moves to the next non-empty content line; false at the end.
    bool next();
    // The property name ("DTSTART"), before any ';' or ':'.
    std::string_view name() const { return m_name; }
    // The whole content line, unfolded; valid until the next call to next().
    std::string_view line();
    // The number of the physical line the content line starts on, from 1.
    int lineNumber() const { return m_lineNumber; }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
    int m_physicalLines = 0;
    int m_lineNumber = 0;
    std::string_view m_first;
    std::string_view m_folded;
    std::string_view m_name;
    std::string m_joined;
    bool m_isJoined = false;
};

}  // namespace nelvo
