#pragma once

#include "app/event_source.h"

#include <memory>
#include <string>
#include <vector>

class QTimer;

namespace nelvo {

// Calendars read from iCalendar files and folders the user chose:
// - a file is one calendar;
// - a folder holding .ics files is one calendar, one event per file (a "vdir", with optional
//   `displayname` and `color` files);
// - a folder whose sub-folders are such folders is an account named after the folder.
// Files are read again only when they change; reading never writes anything anywhere.
class IcsCalendarSource : public EventSource {
public:
    // The files are refused above this size.
    static constexpr std::int64_t maxFileBytes = 200LL * 1024 * 1024;
    // One fetch delivers at most this many occurrences.
    static constexpr std::size_t maxOccurrences = 500'000;

    // `locations`: paths of files and folders (CalendarLocation: "~/" is the home folder).
    // `addresses`: the user's own calendar addresses, which find the user among attendees.
    // Times without a zone are read in the machine's zone until setPrimaryZone().
    explicit IcsCalendarSource(std::vector<std::string> locations = {},
                               std::vector<std::string> addresses = {});
    ~IcsCalendarSource() override;
    IcsCalendarSource(IcsCalendarSource&&) noexcept;
    IcsCalendarSource& operator=(IcsCalendarSource&&) noexcept;

    void setLocations(std::vector<std::string> locations);
    const std::vector<std::string>& locations() const;
    void setAddresses(std::vector<std::string> addresses) override;
    const std::vector<std::string>& addresses() const;
    void setPrimaryZone(const TimeZone& zone) override;

    // True when at least one chosen location exists and can be read.
    bool hasAccess() const override;
    // The chosen calendars in the order of the locations (an account's in name order); a
    // location that cannot be read is left out and makes the fetch incomplete.
    std::vector<CalendarInfo> calendars() override;
    // Occurrences overlapping [from, to), by start, then end, then calendar order.
    std::vector<CalendarEvent> events(Date from, Date to) override;
    // Watches the chosen files and folders; a burst of writes gives one call, on the main
    // thread, once the writes have been quiet for 400 ms.
    void observeChanges(std::function<void()> handler) override;
    // Replaces the timer that ends the quiet time; the source makes it single-shot and
    // restarts it on every write. Tests pass one that they fire themselves.
    void setCoalescingTimer(std::unique_ptr<QTimer> timer);

    std::vector<AnsweredAddress> answeredAddresses() const override;

    bool isLastFetchComplete() const override;
    std::vector<SourceProblem> lastFetchProblems() const override;
    std::vector<CalendarState> lastFetchStates() const override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace nelvo
