#pragma once

#include "app/source_problem.h"

#include <cstddef>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace nelvo {

// The problems of one fetch: each told once, in the order met; past the first few skipped or
// malformed events of a calendar the rest are counted in one closing line, so that a file of
// ten thousand broken events gives a few lines, in time proportional to the problems.
class SourceProblemList {
public:
    static constexpr std::size_t namedSkipsPerCalendar = 5;

    // Skipped events are counted per `calendar` (the problem's path when empty): a folder
    // calendar's event files are one calendar.
    void add(SourceProblem problem, const std::string& calendar = {});
    // Everything `other` holds, its counted skips included, counted under `calendar`.
    void append(const SourceProblemList& other, const std::string& calendar = {});
    // Problems another list gave out (its closing lines included): each kept once, none
    // counted again.
    void addListed(const std::vector<SourceProblem>& listed);
    void clear();

    bool empty() const { return m_problems.empty() && m_unnamed.empty(); }
    // The problems, then one line per calendar and kind that had events left unnamed:
    // and 9,990 more events in "/home/ana/work.ics" could not be read
    std::vector<SourceProblem> list() const;

private:
    struct Skips {
        std::size_t named = 0;
        std::size_t unnamed = 0;
    };

    using Key = std::pair<std::string, SourceProblem::Kind>;  // calendar and kind
    struct KeyHash {
        std::size_t operator()(const Key& key) const noexcept;
    };

    void skip(const Key& key, std::size_t unnamed);

    std::vector<SourceProblem> m_problems;
    std::unordered_set<std::string> m_messages;
    std::unordered_map<Key, Skips, KeyHash> m_skips;
    std::vector<Key> m_unnamed;  // with unnamed events, in order
};

}  // namespace nelvo
