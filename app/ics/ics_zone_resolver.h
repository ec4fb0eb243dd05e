#pragma once

#include "app/ics/ics_internal.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace nelvo {

// Which zone each TZID of one text names: the text's own VTIMEZONE first (as RFC 5545
// wants), then the names IcsEventMapping::zoneNamed knows, else the primary zone with a
// warning. Zones are added to the document once each, on first use.
class IcsZoneResolver {
public:
    IcsZoneResolver(IcsDocument::Data& data, const TimeZone& primary);

    // The VTIMEZONE text of a TZID; the first definition wins.
    void define(const std::string& tzid, std::string vtimezone);

    // What readers of events fill in: the TZIDs in order of first use.
    std::vector<std::string>& tzids() { return m_tzids; }
    std::unordered_map<std::string, int>& tzidIndex() { return m_tzidIndex; }

    // The index of the document's zone for a time as written.
    int zoneFor(const RawTime& t);
    const IcsZone& zoneAt(const RawTime& t);

private:
    int resolve(const std::string& tzid);
    // A libical zone from the text of a VTIMEZONE; empty when it is unusable or could make
    // libical's expansion of it run away.
    static IcalZonePtr zoneFromVtimezone(const std::string& text);
    static bool isUsableObservance(icalcomponent* observance);
    // libical works a zone out by stepping each observance's rule from its first onset, and
    // Outlook's zones begin in 1601: four centuries of steps before the first time anyone
    // reads. A yearly rule without COUNT is started at its first onset in 1970 instead,
    // which changes no offset from then on; earlier times get the offset before that onset.
    static void startLater(icalcomponent* observance);
    static constexpr int earliestOnsetYear = 1970;

    IcsDocument::Data& m_data;
    TimeZone m_primary;
    std::unordered_map<std::string, std::string> m_timezones;  // TZID -> VTIMEZONE text
    std::vector<std::string> m_tzids;
    std::unordered_map<std::string, int> m_tzidIndex;
    std::vector<int> m_resolved;  // TZID index -> zone index
};

}  // namespace nelvo
