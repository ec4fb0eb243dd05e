#include "app/source_problem_list.h"

namespace nelvo {

namespace {

// 9990 -> "9,990", as English text writes counts.
std::string withThousands(std::size_t n)
{
    std::string digits = std::to_string(n);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<std::size_t>(i), ",");
    return digits;
}

}  // namespace

void SourceProblemList::add(SourceProblem problem, const std::string& calendar)
{
    if (problem.kind == SourceProblem::Kind::skippedEvent) {
        const std::string& key = calendar.empty() ? problem.path : calendar;
        Skips& skips = m_skips[key];
        if (skips.named >= namedSkipsPerCalendar) {
            skip(key, 1);
            return;
        }
        if (m_messages.contains(problem.message))
            return;
        ++skips.named;
    } else if (m_messages.contains(problem.message)) {
        return;
    }
    m_messages.insert(problem.message);
    m_problems.push_back(std::move(problem));
}

void SourceProblemList::skip(const std::string& path, std::size_t unnamed)
{
    Skips& skips = m_skips[path];
    if (skips.unnamed == 0)
        m_unnamed.push_back(path);
    skips.unnamed += unnamed;
}

void SourceProblemList::append(const SourceProblemList& other, const std::string& calendar)
{
    for (const SourceProblem& problem : other.m_problems)
        add(problem, calendar);
    for (const std::string& path : other.m_unnamed)
        skip(calendar.empty() ? path : calendar, other.m_skips.at(path).unnamed);
}

void SourceProblemList::addListed(const std::vector<SourceProblem>& listed)
{
    for (const SourceProblem& problem : listed)
        if (m_messages.insert(problem.message).second)
            m_problems.push_back(problem);
}

void SourceProblemList::clear()
{
    *this = SourceProblemList();
}

std::vector<SourceProblem> SourceProblemList::list() const
{
    std::vector<SourceProblem> out = m_problems;
    for (const std::string& path : m_unnamed) {
        const std::size_t count = m_skips.at(path).unnamed;
        out.push_back({.kind = SourceProblem::Kind::skippedEvent,
                       .path = path,
                       .message = "and " + withThousands(count) + " more event" +
                                  (count == 1 ? "" : "s") + " in \"" + path +
                                  "\" could not be read"});
    }
    return out;
}

}  // namespace nelvo
