#pragma once

#include "app/web_calendar_source.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace nelvo {

// Calendars read from calendar addresses (CalendarAddress): each address is one calendar,
// fetched by Qt Network without blocking the window and read by the same iCalendar reader as
// calendar files (IcsDocument). A copy of each is kept on this computer (WebCalendarCopy)
// and used while the server cannot be reached, with the calendar's state saying how old it
// is; an unchanged calendar costs the server a 304 and this program no reading.
//
// events() and calendars() never wait: they give what the last fetches brought. In the window
// (once observeChanges() is called) a read fetches every address not yet fetched in this run,
// and the window coming to the front (at most once a minute) and every `refreshInterval`
// fetch them all again; a finished fetch that changed anything calls the change handler. A
// command refreshes with waitForRefresh().
class IcsUrlCalendarSource : public WebCalendarSource {
public:
    struct Options {
        std::filesystem::path copyFolder;           // empty: WebCalendarCopy::standardFolder()
        std::chrono::milliseconds timeout{30'000};  // a fetch in the window
        std::chrono::milliseconds refreshInterval{15 * 60'000};
        std::function<Date()> now;  // empty: the system clock
    };

    // `calendarAddresses`: the addresses as stored (normalised; see CalendarAddress).
    // `addresses`: the user's own e-mail addresses, which find the user among attendees.
    explicit IcsUrlCalendarSource(std::vector<std::string> calendarAddresses = {},
                                  std::vector<std::string> addresses = {});
    IcsUrlCalendarSource(std::vector<std::string> calendarAddresses,
                         std::vector<std::string> addresses, Options options);
    ~IcsUrlCalendarSource() override;
    IcsUrlCalendarSource(const IcsUrlCalendarSource&) = delete;
    IcsUrlCalendarSource& operator=(const IcsUrlCalendarSource&) = delete;

    void setCalendarAddresses(std::vector<std::string> calendarAddresses) override;
    const std::vector<std::string>& calendarAddresses() const override;
    void setAddresses(std::vector<std::string> addresses) override;
    void setPrimaryZone(const TimeZone& zone) override;

    // Starts a fetch of every address not being fetched already.
    void refresh() override;
    // Refreshes and waits, running the event loop, until every fetch ended or `bound` ran out;
    // fetches still running then give up (their calendars did not answer). The copies are
    // saved when it returns.
    void waitForRefresh(std::chrono::milliseconds bound) override;
    bool isRefreshing() const override;

    // Whether any address is chosen: whether it can be read is its state's business.
    bool hasAccess() const override;
    // One calendar per address that has a copy to read, in the order of the addresses. Its
    // title is the calendar's own name (X-WR-CALNAME), else the host; its account the host.
    std::vector<CalendarInfo> calendars() override;
    std::vector<CalendarEvent> events(Date from, Date to) override;
    void observeChanges(std::function<void()> handler) override;

    bool isLastFetchComplete() const override;
    std::vector<SourceProblem> lastFetchProblems() const override;
    // One per address, named "Team (calendar.example.com)", never by the address.
    std::vector<CalendarState> lastFetchStates() const override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace nelvo
