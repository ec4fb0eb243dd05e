#pragma once

#include "app/ics/ics_internal.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace nelvo {

// Expands the events of the documents of one calendar over a window: single events, series
// (rules and extra dates, less exclusions), overrides of one occurrence, and overrides of an
// occurrence and all later ones (RANGE=THISANDFUTURE).
//
// The work is bounded by its cost, not by what it returns: rules that can never match are
// recognised before expansion, iterators start at the window where the rule allows it, and
// each file has a fixed budget of iterator steps and processor time. A rule that cannot be
// expanded to the end of the window within them is reported as an incomplete expansion.
class IcsExpander {
public:
    IcsExpander(Date from, Date to, const std::string& calendarID, const std::string& colorHex,
                std::size_t maxOccurrences, std::vector<CalendarEvent>& out,
                SourceProblemList& problems);

    // False when the output reached maxOccurrences.
    bool run(std::span<const IcsDocument::Data* const> documents);

private:
    struct RuleRun;

    void index(std::span<const IcsDocument::Data* const> documents);
    bool isRepeated(const Item& item) const;
    void replacement(const Item& item);
    void occurrences(const Item& item);
    void expandRule(const Item& item, const IcsZone& zone, const std::string& text);
    bool readUntil(RuleRun& run) const;
    bool skipAhead(RuleRun& run) const;
    void iterate(RuleRun& run);
    void expandByDays(RuleRun& run);
    bool step(const RuleRun& run);
    void incomplete(const Item& item, const std::string& why);
    void candidate(const Item& item, Date start, Date end, const icaltimetype& wall);
    const Item* futureChange(const Item& item, Date start) const;
    void pushChanged(const Item& item, const Item& change, Date start, const icaltimetype& wall);
    bool isReplaced(const Item& item, Date start) const;
    static bool isExcluded(const Item& item, Date start, const icaltimetype& wall);
    void push(const Item& item, const IcsEventMapping::Traits& traits, Date occurrenceStart,
              Date start, Date end);

    Date m_from;
    Date m_to;
    const std::string& m_calendarID;
    const std::string& m_colorHex;
    std::size_t m_maxOccurrences;
    std::vector<CalendarEvent>& m_out;
    SourceProblemList& m_problems;

    const IcsDocument::Data* m_data = nullptr;
    struct OverrideKey {
        std::string_view uid;
        double start;
        bool operator==(const OverrideKey&) const = default;
    };
    struct OverrideKeyHash {
        std::size_t operator()(const OverrideKey& k) const noexcept;
    };
    static OverrideKey readerKey(const Item& item);
    std::unordered_set<OverrideKey, OverrideKeyHash> m_overridden;  // every override's own
    std::unordered_map<std::string_view, const Item*> m_masters;
    // Where several documents make one calendar (a folder), the document each event or
    // override was first read from: a sync tool's conflict copy repeats a file's events.
    std::unordered_map<OverrideKey, const IcsDocument::Data*, OverrideKeyHash> m_firstReader;
    // RANGE=THISANDFUTURE overrides of each series, by the occurrence they start from.
    std::unordered_map<std::string_view, std::vector<const Item*>> m_futureChanges;
    std::unordered_set<double> m_seen;
    std::size_t m_steps = 0;
    double m_cpuStart = 0;
    bool m_outOfBudget = false;  // for the current document
    bool m_full = false;
};

}  // namespace nelvo
