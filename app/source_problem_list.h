#pragma once

#include "app/source_problem.h"

#include <cstddef>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace nelvo {

// The problems of one fetch: each told once, in the order met; past the first few skipped
// events of a calendar the rest are counted in one closing line, so that a file of ten
// thousand broken events gives a few lines, in time proportional to the problems.
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
    // The problems, then one line per calendar that had skips left unnamed:
    // and 9,990 more events in "/home/ana/work.ics" could not be read
    std::vector<SourceProblem> list() const;

private:
    struct Skips {
        std::size_t named = 0;
        std::size_t unnamed = 0;
    };

    void skip(const std::string& path, std::size_t unnamed);

    std::vector<SourceProblem> m_problems;
    std::unordered_set<std::string> m_messages;
    std::unordered_map<std::string, Skips> m_skips;  // by calendar
    std::vector<std::string> m_unnamed;              // calendars with unnamed skips, in order
};

}  // namespace nelvo
