#include "app/source_problem_list.h"

#include <functional>

namespace nelvo {

namespace {

// 9990 -> "9,990", as English text writes counts.
std::string withThousands(std::size_t n)
{
    const std::string digits = std::to_string(n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

bool isCounted(SourceProblem::Kind kind)
{
    return kind == SourceProblem::Kind::skippedEvent || kind == SourceProblem::Kind::malformed;
}

}  // namespace

std::size_t SourceProblemList::KeyHash::operator()(const Key& key) const noexcept
{
    return std::hash<std::string>{}(key.first) * 31 + static_cast<std::size_t>(key.second);
}

void SourceProblemList::add(SourceProblem problem, const std::string& calendar)
{
    if (m_messages.contains(problem.message))
        return;
    if (isCounted(problem.kind)) {
        const Key key{calendar.empty() ? problem.path : calendar, problem.kind};
        Skips& skips = m_skips[key];
        if (skips.named >= namedSkipsPerCalendar) {
            skip(key, 1);
            return;
        }
        ++skips.named;
    }
    m_messages.insert(problem.message);
    m_problems.push_back(std::move(problem));
}

void SourceProblemList::skip(const Key& key, std::size_t unnamed)
{
    Skips& skips = m_skips[key];
    if (skips.unnamed == 0)
        m_unnamed.push_back(key);
    skips.unnamed += unnamed;
}

void SourceProblemList::append(const SourceProblemList& other, const std::string& calendar)
{
    for (const SourceProblem& problem : other.m_problems)
        add(problem, calendar);
    for (const Key& key : other.m_unnamed)
        skip(calendar.empty() ? key : Key{calendar, key.second}, other.m_skips.at(key).unnamed);
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
    for (const Key& key : m_unnamed) {
        const std::size_t count = m_skips.at(key).unnamed;
        std::string message = "and ";
        message += withThousands(count);
        message += count == 1 ? " more event in \"" : " more events in \"";
        message += key.first;
        message += key.second == SourceProblem::Kind::skippedEvent
                       ? "\" could not be read"
                       : "\" were read as far as they could be";
        out.push_back({.kind = key.second, .path = key.first, .message = std::move(message)});
    }
    return out;
}

}  // namespace nelvo
