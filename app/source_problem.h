#pragma once

#include <string>

namespace nelvo {

// One thing a calendar source met while reading: what kind of thing, where, and the line
// that says it to the user.
struct SourceProblem {
    enum class Kind {
        unreadableCalendar,   // a chosen calendar could not be read at all
        skippedEvent,         // one event was left out; the rest of its calendar is read
        malformed,            // a malformed part was read in the most likely way, or left out
        unknownZone,          // times of an unknown zone were read in the primary zone
        cutShort,             // a bound on size stopped the reading; later events are missing
        incompleteExpansion,  // a repeating event could not be expanded over the whole range
        staleCalendar,        // read from the copy last saved on this computer (offline account)
    };

    Kind kind = Kind::skippedEvent;
    std::string path;     // the calendar, or the file within it
    std::string message;  // one English line, for a terminal or a window

    // Whether busy time may be missing from what was read, so that free time computed from
    // it cannot be offered as free.
    bool hidesBusyTime() const
    {
        return kind == Kind::unreadableCalendar || kind == Kind::incompleteExpansion ||
               kind == Kind::cutShort;
    }

    bool operator==(const SourceProblem&) const = default;
};

}  // namespace nelvo
