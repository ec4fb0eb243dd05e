#pragma once

#include "kit/core/decoded.h"

#include <set>
#include <string>
#include <string_view>

namespace nelvo {

// Which calendar days may carry free time: two weekend switches, and single days whose
// default is flipped (a toggled weekday is excluded, a toggled weekend day included).
struct DayExclusions {
    bool saturdaysOff = true;
    bool sundaysOff = true;
    std::set<std::string> toggled;  // day keys

    bool weekendsOff() const { return saturdaysOff && sundaysOff; }
    void setWeekendsFlags(bool off) { saturdaysOff = sundaysOff = off; }

    // The one weekend rule: the engine and the included days both ask here. `weekday`:
    // 1 = Sunday ... 7 = Saturday.
    bool isExcluded(std::string_view dayKey, int weekday) const;
    // Flips the day: removes the key when present, inserts it otherwise.
    void toggleOnce(const std::string& dayKey);
    // Sets both switches and forgets the toggles of weekend days (keys that do not parse stay),
    // so that every weekend day follows the new setting.
    void setWeekendsOff(bool off);
    // Keeps the toggles of `dayKey` and later.
    void prune(std::string_view dayKey);

    bool operator==(const DayExclusions&) const = default;

    // {"saturdaysOff":true,"sundaysOff":true,"toggled":[...]}; "weekendsOff" is never written.
    std::string toJson() const;
    // Every member optional; "weekendsOff" of older files is the fallback of both switches.
    static Decoded<DayExclusions> fromJson(std::string_view json);
};

}  // namespace nelvo
