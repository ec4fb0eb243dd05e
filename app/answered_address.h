#pragma once

#include <span>
#include <string>
#include <vector>

namespace nelvo {

// An attendee address that answered invitations in the chosen calendars, with the number of
// events it answered. The owner of an exported calendar is on most of its invitations.
struct AnsweredAddress {
    std::string address;  // normalized: lower case, without "mailto:"
    int events = 0;

    bool operator==(const AnsweredAddress&) const = default;
};

// The tallies added up by address, most events first, then by address.
std::vector<AnsweredAddress> rankedAddresses(std::span<const AnsweredAddress> tallies);

// Adds to `into` each of `more` it does not hold in any case (with or without "mailto:"),
// keeping `into` sorted; whether any was added. Blank text is left out.
bool mergeAddresses(std::vector<std::string>& into, const std::vector<std::string>& more);

}  // namespace nelvo
