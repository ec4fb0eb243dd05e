#pragma once

#include "app/answered_address.h"
#include "app/calendar_state.h"
#include "app/source_problem.h"
#include "kit/core/calendar_event.h"
#include "kit/core/calendar_info.h"
#include "kit/core/date.h"
#include "kit/core/time_zone.h"

#include <functional>
#include <string>
#include <vector>

namespace nelvo {

// Where the model reads calendars and event occurrences. All calls run on the main thread.
class EventSource {
public:
    virtual ~EventSource() = default;

    // Whether events may be read now.
    virtual bool hasAccess() const = 0;
    virtual std::vector<CalendarInfo> calendars() = 0;
    // Every occurrence overlapping [from, to).
    virtual std::vector<CalendarEvent> events(Date from, Date to) = 0;

    // Calls `handler` on the main thread after the calendars changed; replaces any earlier
    // handler.
    virtual void observeChanges(std::function<void()> handler) = 0;

    // Whether the last calendars() or events() read every calendar the user chose. When it
    // did not, events the model did not see may still exist.
    virtual bool isLastFetchComplete() const { return true; }
    // What the last calendars() or events() met on the way, each with its kind, the path
    // and a line such as
    // cannot read calendar "/home/ana/cal/work.ics": permission denied
    virtual std::vector<SourceProblem> lastFetchProblems() const { return {}; }
    // The state of each calendar the last calendars() or events() was asked to read, in the
    // order of calendars(); a location that could not be read is there too.
    virtual std::vector<CalendarState> lastFetchStates() const { return {}; }

protected:
    // The order every source returns its events in: by start, then by end, ties kept as read.
    static void sortByTime(std::vector<CalendarEvent>& events);

public:
    // The zone in which times without a zone of their own are read (the user's own zone).
    virtual void setPrimaryZone(const TimeZone& zone) { (void)zone; }
    // The user's own calendar addresses, which find the user's answer among attendees; the
    // next fetch reads with them.
    virtual void setAddresses(std::vector<std::string> addresses) { (void)addresses; }
    // The attendees who answered invitations in the calendars of the last fetch, ranked
    // (rankedAddresses): where the user's own address is likely to be found.
    virtual std::vector<AnsweredAddress> answeredAddresses() const { return {}; }
    // The addresses the desktop's accounts know as the user's own, as they write them: each
    // finds the user's answer in its account's calendars without being stored. Sorted, one
    // per address in any case; none from calendar files and addresses.
    virtual std::vector<std::string> accountAddresses() const { return {}; }
};

}  // namespace nelvo
