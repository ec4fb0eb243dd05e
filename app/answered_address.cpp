#include "app/answered_address.h"

#include "app/ics/ics_text.h"

#include <algorithm>
#include <unordered_map>

namespace nelvo {

std::vector<AnsweredAddress> rankedAddresses(std::span<const AnsweredAddress> tallies)
{
    std::unordered_map<std::string, int> sums;
    for (const AnsweredAddress& tally : tallies)
        sums[tally.address] += tally.events;
    std::vector<AnsweredAddress> ranked;
    ranked.reserve(sums.size());
    for (auto& [address, events] : sums)
        ranked.push_back({address, events});
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        return a.events != b.events ? a.events > b.events : a.address < b.address;
    });
    return ranked;
}

bool mergeAddresses(std::vector<std::string>& into, const std::vector<std::string>& more)
{
    bool added = false;
    for (const std::string& address : more) {
        const std::string key = IcsText::normalizedAddress(address);
        if (key.empty() || std::any_of(into.begin(), into.end(), [&](const std::string& known) {
                return IcsText::normalizedAddress(known) == key;
            }))
            continue;
        into.push_back(address);
        added = true;
    }
    if (added)
        std::sort(into.begin(), into.end());
    return added;
}

}  // namespace nelvo
