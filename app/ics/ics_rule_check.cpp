#include "app/ics/ics_rule_check.h"

#include "app/ics/ics_internal.h"
#include "app/ics/ics_text.h"

#include <cstdlib>

namespace nelvo::IcsRuleCheck {

using IcsText::equalsIgnoringCase;

namespace {

bool isKnownPart(std::string_view name)
{
    static constexpr std::string_view known[] = {"FREQ",       "UNTIL",     "COUNT",    "INTERVAL",
                                                 "BYSECOND",   "BYMINUTE",  "BYHOUR",   "BYDAY",
                                                 "BYMONTHDAY", "BYYEARDAY", "BYWEEKNO", "BYMONTH",
                                                 "BYSETPOS",   "WKST",      "RSCALE",   "SKIP"};
    for (std::string_view k : known)
        if (equalsIgnoringCase(name, k))
            return true;
    return false;
}

// The values of one BY list, up to libical's end marker.
template <std::size_t N>
std::vector<int> values(const short (&list)[N])
{
    std::vector<int> out;
    for (std::size_t i = 0; i < N && list[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
        out.push_back(list[i]);
    return out;
}

bool allWithin(const std::vector<int>& list, int low, int high, bool mayBeNegative)
{
    for (int v : list) {
        const int magnitude = mayBeNegative ? std::abs(v) : v;
        if (magnitude < low || magnitude > high)
            return false;
    }
    return true;
}

// The longest a month can be, leap years included.
int longestMonth(int month)
{
    static constexpr int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return days[month - 1];
}

bool hasTime(std::string_view text)
{
    return text.find_first_of("Tt") != std::string_view::npos;
}

}  // namespace

std::string unknownPart(std::string_view ruleValue)
{
    std::size_t pos = 0;
    while (pos <= ruleValue.size()) {
        std::size_t end = ruleValue.find(';', pos);
        if (end == std::string_view::npos)
            end = ruleValue.size();
        const std::string_view part = IcsText::trimmed(ruleValue.substr(pos, end - pos));
        const std::string_view name = part.substr(0, part.find('='));
        if (!part.empty() && !isKnownPart(name))
            return std::string(name.empty() ? part : name);
        pos = end + 1;
    }
    return {};
}

bool canMatch(const icalrecurrencetype& rule)
{
    if (rule.rscale && *rule.rscale)
        return true;  // another calendar's months and days: not judged here
    std::vector<int> months;
    for (int m : values(rule.by_month))
        months.push_back(icalrecurrencetype_month_month(static_cast<short>(m)));
    const std::vector<int> monthDays = values(rule.by_month_day);
    if (!allWithin(months, 1, 12, false) || !allWithin(monthDays, 1, 31, true) ||
        !allWithin(values(rule.by_year_day), 1, 366, true) ||
        !allWithin(values(rule.by_week_no), 1, 53, true) ||
        !allWithin(values(rule.by_hour), 0, 23, false) ||
        !allWithin(values(rule.by_minute), 0, 59, false) ||
        !allWithin(values(rule.by_second), 0, 60, false))
        return false;
    if (monthDays.empty())
        return true;
    if (months.empty())
        months = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    for (int month : months)
        for (int day : monthDays)
            if (std::abs(day) <= longestMonth(month))
                return true;
    return false;
}

bool isPeriodOfDates(std::string_view parameters, std::string_view value)
{
    if (!IcsText::containsLowered(parameters, "value=period"))
        return false;
    std::size_t pos = 0;
    while (pos < value.size()) {
        std::size_t end = value.find(',', pos);
        if (end == std::string_view::npos)
            end = value.size();
        const std::string_view period = IcsText::trimmed(value.substr(pos, end - pos));
        const std::size_t slash = period.find('/');
        const std::string_view start = period.substr(0, slash);
        const std::string_view rest =
            slash == std::string_view::npos ? std::string_view{} : period.substr(slash + 1);
        const bool restIsDuration = rest.find_first_of("Pp") != std::string_view::npos;
        if (!start.empty() &&
            (!hasTime(start) || (!rest.empty() && !restIsDuration && !hasTime(rest))))
            return true;
        pos = end + 1;
    }
    return false;
}

bool isAbsurdDuration(std::string_view value, double maxSeconds)
{
    value = IcsText::trimmed(value);
    double total = 0;
    std::size_t digits = 0;
    double number = 0;
    for (char c : value) {
        if (c >= '0' && c <= '9') {
            if (++digits > 15)
                return true;  // more than any unit of any event could hold
            number = number * 10 + (c - '0');
            continue;
        }
        const char unit = static_cast<char>(IcsText::lowerAscii(c));
        const double seconds = unit == 'w'   ? 7 * 86400.0
                               : unit == 'd' ? 86400.0
                               : unit == 'h' ? 3600.0
                               : unit == 'm' ? 60.0
                               : unit == 's' ? 1.0
                                             : 0.0;
        total += number * seconds;
        number = 0;
        digits = 0;
    }
    return total > maxSeconds;
}

}  // namespace nelvo::IcsRuleCheck
