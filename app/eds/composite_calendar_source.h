#pragma once

#include "app/event_source.h"
#include "app/source_problem_list.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nelvo {

// Several sources read as one: the desktop's calendars and the chosen calendar files side by
// side, with one list of calendars, so that the included/excluded choice of the settings
// covers all of them alike.
class CompositeCalendarSource : public EventSource {
public:
    enum class Kind { desktop, file, web };
    struct Part {
        Kind kind;
        std::shared_ptr<EventSource> source;
    };

    // The parts in the order their calendars are listed.
    explicit CompositeCalendarSource(std::vector<Part> parts);

    // "desktop", "file" or "web" (a calendar address).
    static const char* kindName(Kind kind);

    // Whether any part may be read.
    bool hasAccess() const override;
    // Each part's calendars in part order; an identity already listed is left out.
    std::vector<CalendarInfo> calendars() override;
    // The kind of a calendar of the last calendars(); empty for one it did not list.
    std::optional<Kind> kindOf(const std::string& calendarID) const;
    // Every part's occurrences, by start, then end, then part order.
    std::vector<CalendarEvent> events(Date from, Date to) override;
    void observeChanges(std::function<void()> handler) override;
    bool isLastFetchComplete() const override;
    std::vector<SourceProblem> lastFetchProblems() const override;
    std::vector<CalendarState> lastFetchStates() const override;
    void setPrimaryZone(const TimeZone& zone) override;
    void setAddresses(std::vector<std::string> addresses) override;
    std::vector<AnsweredAddress> answeredAddresses() const override;
    std::vector<std::string> accountAddresses() const override;

private:
    std::vector<Part> m_parts;
    std::vector<std::pair<std::string, Kind>> m_kinds;
    bool m_isComplete = true;
    SourceProblemList m_problems;
    std::vector<CalendarState> m_states;

    void gather(const EventSource& part);
};

}  // namespace nelvo
