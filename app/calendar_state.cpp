#include "app/calendar_state.h"

#include <algorithm>
#include <cmath>

namespace nelvo {

namespace {

std::string plural(long count, const char* unit)
{
    return std::to_string(count) + " " + unit + (count == 1 ? "" : "s");
}

// "just now", "12 minutes ago", "3 hours ago", "2 days ago".
std::string age(Date then, Date now)
{
    const double seconds = std::max(0.0, now.seconds - then.seconds);
    const auto minutes = static_cast<long>(std::floor(seconds / 60));
    if (minutes < 1)
        return "just now";
    if (minutes < 60)
        return plural(minutes, "minute") + " ago";
    if (minutes < 48 * 60)
        return plural(minutes / 60, "hour") + " ago";
    return plural(minutes / (24 * 60), "day") + " ago";
}

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

}  // namespace

std::string CalendarState::shortCause(Date now) const
{
    switch (kind) {
    case Kind::upToDate:
        return "up to date";
    case Kind::firstSync:
        return cause.empty() ? "not brought up to date yet" : cause;
    case Kind::savedCopy:
        return (cause.empty() ? std::string("offline") : cause) +
               (asOf ? "; up to date as of " + age(*asOf, now) : "; saved copy");
    case Kind::needsSignIn:
        return cause.empty() ? "needs you to sign in" : cause;
    case Kind::unreadable:
        return cause.empty() ? "cannot be read" : cause;
    case Kind::noAnswer:
        return cause.empty() ? "did not answer in time" : cause;
    }
    return cause;
}

std::string CalendarState::line(Date now) const
{
    switch (kind) {
    case Kind::upToDate:
        return quoted(name) + " is up to date";
    case Kind::firstSync:
        return quoted(name) + " is being brought up to date for the first time (" +
               shortCause(now) + "); its events are left out";
    case Kind::savedCopy:
        return quoted(name) + " is " + (cause.empty() ? std::string("offline") : cause) +
               "; its events " + (asOf ? "as of " + age(*asOf, now) : "saved earlier") +
               " are used";
    case Kind::needsSignIn:
        return quoted(name) + " needs you to sign in (" + shortCause(now) +
               "); its events are left out";
    case Kind::unreadable:
        return "cannot read calendar " + quoted(name) + ": " + shortCause(now);
    case Kind::noAnswer:
        return quoted(name) + " " + shortCause(now) + "; it is left out";
    }
    return quoted(name);
}

std::vector<CalendarState> troubledStates(const std::vector<CalendarState>& states)
{
    std::vector<CalendarState> out;
    for (const CalendarState& state : states)
        if (!state.isUpToDate())
            out.push_back(state);
    return out;
}

}  // namespace nelvo
