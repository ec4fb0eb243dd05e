#pragma once

// The reader's own types over libical. This is the one header that includes libical: the
// rest of the program sees IcsDocument and IcsEventMapping only.

#include "app/ics/ics_event_mapping.h"
#include "app/ics_document.h"
#include "app/source_problem_list.h"
#include "kit/core/calendar.h"

#include <libical/ical.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nelvo {

// ---- Bounds ----------------------------------------------------------------------------

namespace IcsBounds {
// A property longer than this is left out: no real event needs one, and libical copies each
// several times.
constexpr std::size_t maxKeptLineBytes = 256 * 1024;
// A VTIMEZONE longer than this is ignored (real ones are a few kilobytes).
constexpr std::size_t maxTimezoneBytes = 256 * 1024;
// Observances in one VTIMEZONE; libical expands each from its start year.
constexpr int maxObservances = 100;
constexpr std::size_t maxTitleBytes = 1024;
// Years outside this range are read as malformed: they only come from broken files, and
// libical walks zone rules year by year up to them.
constexpr int minYear = 1600;
constexpr int maxYear = 3000;
// An event longer than a century is malformed.
constexpr int maxSpanDays = 36'600;
}  // namespace IcsBounds

// ---- libical ownership -----------------------------------------------------------------

struct ComponentDeleter {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentDeleter>;

struct IcalZoneDeleter {
    void operator()(icaltimezone* z) const { icaltimezone_free(z, 1); }
};
using IcalZonePtr = std::unique_ptr<icaltimezone, IcalZoneDeleter>;

// Makes libical's errors non-fatal; call before any parsing.
void prepareLibical();
ComponentPtr parseComponent(const std::string& text);

// ---- Times -----------------------------------------------------------------------------

// How wall times of one TZID become instants.
struct IcsZone {
    bool isUtc = false;
    std::optional<Calendar> calendar;  // an IANA zone through ICU
    icaltimezone* ical = nullptr;      // the file's own VTIMEZONE, owned by the document

    static IcsZone ofUtc();
    static IcsZone ofCalendar(const TimeZone& zone);
    static IcsZone ofIcal(icaltimezone* zone);
};

// How an occurrence's end follows from its start: whole days on the wall clock, then
// elapsed seconds.
struct IcsSpan {
    int days = 0;
    double seconds = 0;
};

namespace IcsTime {
bool isUsable(const icaltimetype& t);
std::int64_t dayNumber(const icaltimetype& t);
// Seconds since 1970 of a wall time read as if it were UTC.
double naiveSeconds(const icaltimetype& t);
icaltimetype naiveWall(double unixSeconds, bool isDate);
std::optional<Date> instant(const IcsZone& zone, icaltimetype t);
icaltimetype wallAt(const IcsZone& zone, Date date, bool isDate);
Date endOf(const IcsZone& zone, icaltimetype wall, Date start, const IcsSpan& span);
bool overlaps(Date start, Date end, Date from, Date to);
// Empty for a negative duration or one longer than the bound.
std::optional<IcsSpan> span(const icaldurationtype& d);
}  // namespace IcsTime

// ---- Events as read --------------------------------------------------------------------

// A time as written: its wall time and which zone it names.
struct RawTime {
    icaltimetype wall = icaltime_null_time();
    enum class Kind { floating, utc, named } kind = Kind::floating;
    int tzid = -1;  // index into the document's TZIDs when named
};

struct Occurrence {
    Date start;
    Date end;
};

// One VEVENT: a single event, a series, or an override of one occurrence of a series.
struct Item {
    std::string eventID;  // the UID, or an identity made from the content
    bool hasUid = false;
    IcsEventMapping::Traits traits;
    int line = 0;

    // As written; resolved once every VTIMEZONE of the text is known.
    RawTime rawStart;
    std::optional<RawTime> rawEnd;
    std::optional<icaldurationtype> rawDuration;
    std::optional<RawTime> rawRecurrenceId;
    struct RawExtra {
        RawTime start;
        std::optional<RawTime> end;
        std::optional<icaldurationtype> duration;
    };
    std::vector<RawExtra> rawRdates;
    std::vector<RawTime> rawExdates;

    // Resolved.
    int zone = 1;
    icaltimetype startWall = icaltime_null_time();
    Date start;
    Date end;
    IcsSpan span;
    bool hasOwnSpan = false;  // DTEND or DURATION written
    std::optional<Date> recurrenceId;
    bool isThisAndFuture = false;  // RANGE=THISANDFUTURE: the change applies to later ones too
    std::vector<std::string> rules;
    std::vector<Occurrence> rdates;
    std::vector<double> exdates;           // sorted instants
    std::vector<std::int64_t> exdateDays;  // sorted wall dates, for dates against times

    bool isSeries() const { return !rules.empty() || !rdates.empty(); }
};

constexpr int utcZone = 0;
constexpr int primaryZone = 1;

}  // namespace nelvo

struct nelvo::IcsDocument::Data {
    std::string origin;
    bool isCalendar = false;
    std::string name;
    std::string title;
    std::string color;
    bool isFeed = false;
    bool isTruncated = false;
    SourceProblemList problems;

    // 0: UTC, 1: the primary zone. A deque, so references stay valid as zones are added.
    std::deque<IcsZone> zones;
    std::vector<IcalZonePtr> ownedZones;
    std::vector<Item> items;
    // Attendees who answered, by address: the number of events they answered.
    std::unordered_map<std::string, int> answered;
};
