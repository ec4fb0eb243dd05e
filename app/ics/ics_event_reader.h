#pragma once

#include "app/ics/ics_internal.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace nelvo {

// Reads one VEVENT, as libical parsed it, into an Item with its times as written: zones are
// resolved later, once every VTIMEZONE of the text is known. TZIDs are interned into the
// lists the caller keeps for the whole text.
class IcsEventReader {
public:
    IcsEventReader(std::vector<std::string>& tzids, std::unordered_map<std::string, int>& tzidIndex,
                   const std::vector<std::string>& addresses);

    // Empty with `problem` set when the event cannot be used.
    // `hadStart`: the text had a DTSTART line, which libical may have dropped as unreadable.
    std::optional<Item> read(icalcomponent* event, bool hadStart, std::string& problem);

private:
    void readProperty(icalproperty* p, Item& item);
    void readRule(icalproperty* p, Item& item);
    void readRdate(icalproperty* p, Item& item);
    void readRecurrenceId(icalproperty* p, Item& item);
    std::optional<RawTime> time(icalproperty* p, const icaltimetype& t);
    int intern(std::string_view tzid);

    std::vector<std::string>& m_tzids;
    std::unordered_map<std::string, int>& m_tzidIndex;
    const std::vector<std::string>& m_addresses;
    bool m_hasStart = false;
    bool m_sawBadStart = false;
};

}  // namespace nelvo
