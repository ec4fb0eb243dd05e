#pragma once

#include "app/desktop_calendar_source.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nelvo {

// The desktop's own calendars: every enabled event calendar of Evolution Data Server (the
// store behind GNOME's calendar, Evolution and GNOME Online Accounts), read-only.
// Recurrences are expanded by EDS itself; each occurrence is mapped by the same rules as an
// iCalendar file's.
//
// All EDS work runs on a worker thread of the source's own; the calling thread never waits
// for D-Bus unless told to (setWaitForFetch). A fetch reads the chosen calendars side by
// side, each brought up to date by its server first, and one deadline (answerTimeout) bounds
// the whole of it: a calendar that has not answered by then is left out, with its state
// saying so. events() answers from the latest completed fetch of that window and starts a
// new one when there is none; its completion calls the change handler, on the thread that
// made the source, if it differs from what was answered. Without EDS (no session bus, or no
// EDS service on it) the source is simply empty, without warnings. No GLib or EDS header
// here: the .cpp files of app/eds own them.
class EdsCalendarSource : public DesktopCalendarSource {
public:
    static constexpr std::chrono::milliseconds defaultAnswerTimeout{3000};
    // One fetch delivers at most this many occurrences.
    static constexpr std::size_t maxOccurrences = 500'000;

    // `addresses`: the user's own calendar addresses; each calendar's own address (as its
    // account tells EDS) is added for that calendar.
    explicit EdsCalendarSource(std::vector<std::string> addresses = {});
    ~EdsCalendarSource() override;
    EdsCalendarSource(const EdsCalendarSource&) = delete;
    EdsCalendarSource& operator=(const EdsCalendarSource&) = delete;

    void setAddresses(std::vector<std::string> addresses) override;
    void setPrimaryZone(const TimeZone& zone) override;
    void setAnswerTimeout(std::chrono::milliseconds timeout) override;
    // The calendars read, by identifier; nothing (the default) reads every enabled one.
    void setChosenCalendars(std::optional<std::vector<std::string>> ids) override;
    // Whether events() waits, at most the answer timeout, for a fetch of its own window to
    // complete: one fresh answer for the command line. Off by default (the window).
    void setWaitForFetch(bool wait) override;

    // False only when the desktop has no calendar store.
    bool hasAccess() const override;
    // The chosen enabled event calendars, grouped by account (account title, then title).
    std::vector<CalendarInfo> calendars() override;
    // Every enabled event calendar, chosen or not, in the same order; for choosing them. The
    // first call waits, at most the answer timeout, for the store's list.
    std::vector<CalendarInfo> allCalendars() override;
    // Occurrences overlapping [from, to) of every listed calendar, by start, then end.
    std::vector<CalendarEvent> events(Date from, Date to) override;
    // Calendars added, removed, changed, enabled or disabled, events changed in a calendar
    // already read, and a fetch completed with a different answer: one call on the thread
    // that made the source after a burst of them.
    void observeChanges(std::function<void()> handler) override;

    bool isLastFetchComplete() const override;
    // What the events met (a bound on their number reached); a calendar's own trouble is in
    // its state.
    std::vector<SourceProblem> lastFetchProblems() const override;
    // One per chosen calendar, in the order of calendars(): up to date, being read for the
    // first time, its saved copy used (dated when this program last read it up to date),
    // needs sign-in, cannot be read, or did not answer in time; "still being read" before
    // this process's first fetch of the window completed.
    std::vector<CalendarState> lastFetchStates() const override;
    // The e-mail addresses of the calendars' accounts (a collection's identity, a calendar's
    // own address, what a connected calendar's backend says); empty until the store answers.
    std::vector<std::string> accountAddresses() const override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace nelvo
