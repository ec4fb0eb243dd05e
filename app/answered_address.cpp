#include "app/answered_address.h"

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

}  // namespace nelvo
