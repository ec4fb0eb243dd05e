#pragma once

#include "app/event_source.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nelvo {

// The desktop's own calendars: every enabled event calendar of Evolution Data Server (the
// store behind GNOME's calendar, Evolution and GNOME Online Accounts), read-only.
// Recurrences are expanded by EDS itself; each occurrence is mapped by the same rules as an
// iCalendar file's. Every call into EDS is bounded by answerTimeout(): a store or a calendar
// that does not answer in time is skipped with a warning naming it, and the fetch is marked
// incomplete. Without EDS (no session bus, or no EDS service on it) the source is simply
// empty, without warnings. No GLib or EDS header here: eds_calendar_source.cpp owns them.
class EdsCalendarSource : public EventSource {
public:
    static constexpr std::chrono::milliseconds defaultAnswerTimeout{2000};
    // One fetch delivers at most this many occurrences.
    static constexpr std::size_t maxOccurrences = 500'000;

    // `addresses`: the user's own calendar addresses; each calendar's own address (as its
    // account tells EDS) is added for that calendar.
    explicit EdsCalendarSource(std::vector<std::string> addresses = {});
    ~EdsCalendarSource() override;
    EdsCalendarSource(const EdsCalendarSource&) = delete;
    EdsCalendarSource& operator=(const EdsCalendarSource&) = delete;

    void setAddresses(std::vector<std::string> addresses);
    void setPrimaryZone(const TimeZone& zone) override;
    void setAnswerTimeout(std::chrono::milliseconds timeout);
    // The calendars read, by identifier; nothing (the default) reads every enabled one.
    void setChosenCalendars(std::optional<std::vector<std::string>> ids);

    // True once the desktop's calendar store answered.
    bool hasAccess() const override;
    // The chosen enabled event calendars, grouped by account (account title, then title).
    std::vector<CalendarInfo> calendars() override;
    // Every enabled event calendar, chosen or not, in the same order; for choosing them.
    std::vector<CalendarInfo> allCalendars();
    // Occurrences overlapping [from, to) of every listed calendar, by start, then end.
    std::vector<CalendarEvent> events(Date from, Date to) override;
    // Calendars added, removed, changed, enabled or disabled, and events changed in a calendar
    // already read: one call on the main thread after a burst of such signals.
    void observeChanges(std::function<void()> handler) override;

    bool isLastFetchComplete() const override;
    std::vector<SourceProblem> lastFetchProblems() const override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace nelvo
