#pragma once

#include <string>
#include <string_view>

struct icalrecurrencetype;

namespace nelvo {

// Shapes of repeat rules and extra dates that are recognised before any expansion: parts no
// reader knows, rules that can never match, periods and durations no event has.
namespace IcsRuleCheck {

// The first part of an RRULE value whose name RFC 5545 (or RFC 7529) does not define
// ("UNTL" in "FREQ=DAILY;UNTL=20250301"); empty when every part is known.
std::string unknownPart(std::string_view ruleValue);

// False when no date can ever satisfy the rule's month and day parts together
// (BYMONTH=2;BYMONTHDAY=30), or a part holds a value outside its range. Such a rule has no
// occurrence besides DTSTART, and libical would search for one without end.
bool canMatch(const icalrecurrencetype& rule);

// Whether an RDATE line with these parameters and value is a PERIOD bounded by dates.
bool isPeriodOfDates(std::string_view parameters, std::string_view value);

// Whether a DURATION value lasts longer than `maxSeconds` (or is too long to hold at all).
bool isAbsurdDuration(std::string_view value, double maxSeconds);

}  // namespace IcsRuleCheck

}  // namespace nelvo
