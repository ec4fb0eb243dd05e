#pragma once

#include "kit/core/date.h"

#include <optional>
#include <string>
#include <vector>

namespace nelvo {

// How far the events read from one calendar can be trusted. Every source gives one per
// calendar it was asked to read, files and desktop calendars alike; the command line and the
// window decide from `kind`, never from the words.
struct CalendarState {
    enum class Kind {
        upToDate,     // read, and current
        firstSync,    // being brought up to date for the first time: nothing to read yet
        savedCopy,    // a copy saved earlier is used (offline, or the server did not answer)
        needsSignIn,  // the account's password or token is missing or was refused
        unreadable,   // cannot be read at all (file gone, permission, malformed beyond use)
        noAnswer,     // left out: it did not answer in time
    };

    // Every member has an initializer, so that a designated initializer may leave any out.
    std::string calendarID{};  // the calendar's identity; a location's path when it has none
    std::string name{};        // as the user knows it: "Work (Google)", "/home/ana/work.ics"
    Kind kind = Kind::upToDate;
    std::string cause{};         // plain words, lower case: "no such file or folder"
    std::optional<Date> asOf{};  // savedCopy: when the copy was last brought up to date

    // Whether busy time may be missing and no usable copy stands in for it, so that free time
    // computed without this calendar cannot be offered as free.
    bool hidesBusyTime() const { return kind != Kind::upToDate && kind != Kind::savedCopy; }
    bool isUpToDate() const { return kind == Kind::upToDate; }

    // One English line for a terminal or a window, naming the calendar and the cause:
    //   "Work (Google)" is offline; its events as of 2 hours ago are used
    //   cannot read calendar "/home/ana/work.ics": no such file or folder
    // `now` dates a saved copy.
    std::string line(Date now) const;
    // The cause alone, as the settings' list shows it beside the calendar's name:
    //   offline since 2 hours ago; needs you to sign in; did not answer in 5 s
    std::string shortCause(Date now) const;

    bool operator==(const CalendarState&) const = default;
};

// The states that are not up to date, in the order given.
std::vector<CalendarState> troubledStates(const std::vector<CalendarState>& states);

}  // namespace nelvo
