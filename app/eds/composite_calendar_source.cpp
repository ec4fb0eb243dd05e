#include "app/eds/composite_calendar_source.h"

#include <algorithm>
#include <unordered_set>

namespace nelvo {

CompositeCalendarSource::CompositeCalendarSource(std::vector<Part> parts)
    : m_parts(std::move(parts))
{
    std::erase_if(m_parts, [](const Part& p) { return !p.source; });
}

const char* CompositeCalendarSource::kindName(Kind kind)
{
    switch (kind) {
    case Kind::desktop:
        return "desktop";
    case Kind::file:
        break;
    case Kind::web:
        return "web";
    }
    return "file";
}

bool CompositeCalendarSource::hasAccess() const
{
    return std::any_of(m_parts.begin(), m_parts.end(),
                       [](const Part& p) { return p.source->hasAccess(); });
}

void CompositeCalendarSource::gather(const EventSource& part)
{
    m_isComplete = m_isComplete && part.isLastFetchComplete();
    m_problems.addListed(part.lastFetchProblems());
    for (CalendarState& state : part.lastFetchStates())
        m_states.push_back(std::move(state));
}

std::vector<CalendarInfo> CompositeCalendarSource::calendars()
{
    m_isComplete = true;
    m_problems.clear();
    m_states.clear();
    m_kinds.clear();
    std::vector<CalendarInfo> out;
    std::unordered_set<std::string> seen;
    for (const Part& part : m_parts) {
        for (CalendarInfo& c : part.source->calendars()) {
            if (!seen.insert(c.id).second)
                continue;
            m_kinds.emplace_back(c.id, part.kind);
            out.push_back(std::move(c));
        }
        gather(*part.source);
    }
    return out;
}

std::optional<CompositeCalendarSource::Kind>
CompositeCalendarSource::kindOf(const std::string& calendarID) const
{
    for (const auto& [id, kind] : m_kinds)
        if (id == calendarID)
            return kind;
    return std::nullopt;
}

std::vector<CalendarEvent> CompositeCalendarSource::events(Date from, Date to)
{
    m_isComplete = true;
    m_problems.clear();
    m_states.clear();
    std::vector<CalendarEvent> out;
    for (const Part& part : m_parts) {
        if (!part.source->hasAccess()) {
            gather(*part.source);
            continue;
        }
        std::vector<CalendarEvent> events = part.source->events(from, to);
        out.insert(out.end(), std::make_move_iterator(events.begin()),
                   std::make_move_iterator(events.end()));
        gather(*part.source);
    }
    sortByTime(out);
    return out;
}

void CompositeCalendarSource::observeChanges(std::function<void()> handler)
{
    for (const Part& part : m_parts)
        part.source->observeChanges(handler);
}

bool CompositeCalendarSource::isLastFetchComplete() const
{
    return m_isComplete;
}

std::vector<SourceProblem> CompositeCalendarSource::lastFetchProblems() const
{
    return m_problems.list();
}

std::vector<CalendarState> CompositeCalendarSource::lastFetchStates() const
{
    return m_states;
}

void CompositeCalendarSource::setPrimaryZone(const TimeZone& zone)
{
    for (const Part& part : m_parts)
        part.source->setPrimaryZone(zone);
}

void CompositeCalendarSource::setAddresses(std::vector<std::string> addresses)
{
    for (const Part& part : m_parts)
        part.source->setAddresses(addresses);
}

std::vector<AnsweredAddress> CompositeCalendarSource::answeredAddresses() const
{
    std::vector<AnsweredAddress> tallies;
    for (const Part& part : m_parts) {
        auto more = part.source->answeredAddresses();
        tallies.insert(tallies.end(), more.begin(), more.end());
    }
    return rankedAddresses(tallies);
}

std::vector<std::string> CompositeCalendarSource::accountAddresses() const
{
    std::vector<std::string> out;
    for (const Part& part : m_parts)
        mergeAddresses(out, part.source->accountAddresses());
    return out;
}

}  // namespace nelvo
