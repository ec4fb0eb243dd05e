#include "app/ics_document.h"

#include "kit/core/calendar.h"
#include "kit/core/civil.h"

#include <QColor>
#include <QCryptographicHash>
#include <QString>

#include <libical/ical.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <unordered_map>
#include <unordered_set>

namespace nelvo {

namespace {

using Availability = CalendarEvent::Availability;
using Participation = CalendarEvent::Participation;

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
// Spans longer than a century are cut to one.
constexpr int maxSpanDays = 36'600;

// ---- Text ----------------------------------------------------------------------------

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

std::string lowered(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = lowerAscii(c);
    return out;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// Whether `needle` (lower case) occurs in `text`, ignoring the case of `text`.
bool containsLowered(std::string_view text, std::string_view needle)
{
    if (needle.empty() || needle.size() > text.size())
        return false;
    const auto it = std::search(text.begin(), text.end(), needle.begin(), needle.end(),
                                [](char a, char b) { return lowerAscii(a) == b; });
    return it != text.end();
}

// The name of a content line: everything before the first ';' or ':'.
std::string_view propertyName(std::string_view line)
{
    const auto end = line.find_first_of(";:");
    return end == std::string_view::npos ? line : line.substr(0, end);
}

// The value of a content line: everything after the first ':' outside double quotes.
std::string_view propertyValue(std::string_view line)
{
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return line.substr(i + 1);
    }
    return {};
}

// TEXT values escape "\\", "\;", "\," and "\n".
std::string unescapedText(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[++i];
            out += next == 'n' || next == 'N' ? '\n' : next;
        } else {
            out += value[i];
        }
    }
    return out;
}

// Cuts at a character boundary of UTF-8 text.
std::string truncatedUtf8(std::string text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    std::size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    text.resize(end);
    return text;
}

// "mailto:Ana@Example.com " -> "ana@example.com".
std::string normalizedAddress(std::string_view address)
{
    address = trimmed(address);
    if (startsWithIgnoringCase(address, "mailto:"))
        address.remove_prefix(7);
    return lowered(trimmed(address));
}

std::string inQuotes(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

// ---- libical ownership ---------------------------------------------------------------

struct ComponentDeleter {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentDeleter>;

struct IcalZoneDeleter {
    void operator()(icaltimezone* z) const { icaltimezone_free(z, 1); }
};
using IcalZonePtr = std::unique_ptr<icaltimezone, IcalZoneDeleter>;

void prepareLibical()
{
    // Errors in input must never abort the process.
    static const bool prepared = [] {
        icalerror_set_errors_are_fatal(0);
        return true;
    }();
    (void)prepared;
}

ComponentPtr parseComponent(const std::string& text)
{
    return ComponentPtr(icalparser_parse_string(text.c_str()));
}

// ---- Times ---------------------------------------------------------------------------

bool isUsableTime(const icaltimetype& t)
{
    if (icaltime_is_null_time(t) || t.year < minYear || t.year > maxYear ||
        !Civil::isValidDate(t.year, t.month, t.day))
        return false;
    return t.is_date || (t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 &&
                         t.second >= 0 && t.second <= 60);
}

std::int64_t dayNumber(const icaltimetype& t)
{
    return Civil::daysFromCivil(t.year, t.month, t.day);
}

// Seconds since 1970 of a wall time read as if it were UTC.
double naiveSeconds(const icaltimetype& t)
{
    const double days = static_cast<double>(dayNumber(t));
    if (t.is_date)
        return days * 86400.0;
    return days * 86400.0 + t.hour * 3600.0 + t.minute * 60.0 + std::min(t.second, 59);
}

icaltimetype naiveWall(double unixSeconds, bool isDate)
{
    const auto whole = static_cast<std::int64_t>(std::floor(unixSeconds));
    const std::int64_t days = Civil::floorDiv(whole, 86400);
    const std::int64_t secondOfDay = whole - days * 86400;
    const auto ymd = Civil::civilFromDays(days);
    icaltimetype t = icaltime_null_time();
    t.year = static_cast<int>(ymd.year);
    t.month = ymd.month;
    t.day = ymd.day;
    if (isDate) {
        t.is_date = 1;
    } else {
        t.hour = static_cast<int>(secondOfDay / 3600);
        t.minute = static_cast<int>(secondOfDay / 60 % 60);
        t.second = static_cast<int>(secondOfDay % 60);
    }
    return t;
}

// How wall times of one TZID become instants.
struct Zone {
    bool isUtc = false;
    std::optional<Calendar> calendar;  // an IANA zone through ICU
    icaltimezone* ical = nullptr;      // the file's own VTIMEZONE, owned by the document

    static Zone ofUtc()
    {
        Zone z;
        z.isUtc = true;
        return z;
    }
    static Zone ofCalendar(const TimeZone& zone)
    {
        Zone z;
        z.calendar.emplace(zone);
        return z;
    }
    static Zone ofIcal(icaltimezone* zone)
    {
        Zone z;
        z.ical = zone;
        return z;
    }
};

std::optional<Date> instant(const Zone& zone, icaltimetype t)
{
    if (!isUsableTime(t))
        return std::nullopt;
    if (zone.isUtc)
        return Date::fromUnixSeconds(naiveSeconds(t));
    if (zone.calendar)
        return zone.calendar->date(t.year, t.month, t.day, t.is_date ? 0 : t.hour,
                                   t.is_date ? 0 : t.minute,
                                   t.is_date ? 0 : std::min(t.second, 59));
    t.zone = nullptr;
    int isDaylight = 0;
    const int offset = icaltimezone_get_utc_offset(zone.ical, &t, &isDaylight);
    return Date::fromUnixSeconds(naiveSeconds(t) - offset);
}

icaltimetype wallAt(const Zone& zone, Date date, bool isDate)
{
    if (zone.isUtc)
        return naiveWall(date.unixSeconds(), isDate);
    if (zone.calendar) {
        const auto p = zone.calendar->parts(date);
        icaltimetype t = icaltime_null_time();
        t.year = static_cast<int>(p.year);
        t.month = p.month;
        t.day = p.day;
        if (isDate)
            t.is_date = 1;
        else {
            t.hour = p.hour;
            t.minute = p.minute;
            t.second = p.second;
        }
        return t;
    }
    icaltimetype utc = naiveWall(date.unixSeconds(), false);
    utc.zone = icaltimezone_get_utc_timezone();
    int isDaylight = 0;
    const int offset = icaltimezone_get_utc_offset_of_utc_time(zone.ical, &utc, &isDaylight);
    return naiveWall(date.unixSeconds() + offset, isDate);
}

// How an occurrence's end follows from its start: whole days on the wall clock, then
// elapsed seconds.
struct Span {
    int days = 0;
    double seconds = 0;
};

Date endOf(const Zone& zone, icaltimetype wall, Date start, const Span& span)
{
    if (span.days <= 0)
        return start.addingSeconds(span.seconds);
    wall.zone = nullptr;
    icaltime_adjust(&wall, span.days, 0, 0, 0);
    const auto shifted = instant(zone, wall);
    const Date base = shifted ? *shifted : start.addingSeconds(span.days * 86400.0);
    return base.addingSeconds(span.seconds);
}

bool overlaps(Date start, Date end, Date from, Date to)
{
    if (start == end)
        return start >= from && start < to;
    return start < to && end > from;
}

// ---- Events as read ------------------------------------------------------------------

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

struct Item {
    std::string eventID;  // the UID, or an identity made from the content
    bool hasUid = false;
    std::string title;
    int line = 0;
    bool isAllDay = false;
    Availability availability = Availability::busy;
    Participation participation = Participation::none;
    bool isCanceled = false;

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
    Span span;
    bool hasOwnSpan = false;  // DTEND or DURATION written
    std::optional<Date> recurrenceId;
    std::vector<std::string> rules;
    std::vector<Occurrence> rdates;
    std::vector<double> exdates;             // sorted instants
    std::vector<std::int64_t> exdateDays;   // sorted wall dates, for dates against times

    bool isSeries() const { return !rules.empty() || !rdates.empty(); }
};

}  // namespace

struct IcsDocument::Data {
    std::string origin;
    bool isCalendar = false;
    std::string name;
    std::string title;
    std::string color;
    bool isFeed = false;
    bool isTruncated = false;
    std::vector<std::string> warnings;

    // 0: UTC, 1: the primary zone. A deque, so references stay valid as zones are added.
    std::deque<Zone> zones;
    std::vector<IcalZonePtr> ownedZones;
    std::vector<Item> items;
};

namespace {

constexpr int utcZone = 0;
constexpr int primaryZone = 1;

// ---- Reading one event through libical -----------------------------------------------

class EventReader {
public:
    EventReader(std::vector<std::string>& tzids, std::unordered_map<std::string, int>& tzidIndex,
                const std::vector<std::string>& addresses)
        : m_tzids(tzids), m_tzidIndex(tzidIndex), m_addresses(addresses)
    {
    }

    // Empty with `problem` set when the event cannot be used.
    // `hadStart`: the text had a DTSTART line, which libical may have dropped as unreadable.
    std::optional<Item> read(icalcomponent* event, bool hadStart, std::string& problem)
    {
        // One pass over the properties, collected first: libical has one property iterator
        // per component, and any lookup while walking would restart the walk.
        std::vector<icalproperty*> properties;
        for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_ANY_PROPERTY); p;
             p = icalcomponent_get_next_property(event, ICAL_ANY_PROPERTY))
            properties.push_back(p);

        Item item;
        bool hasStart = false;
        bool sawBadStart = false;
        std::optional<icalproperty_transp> transp;
        std::string busyStatus;
        for (icalproperty* p : properties) {
            switch (icalproperty_isa(p)) {
            case ICAL_UID_PROPERTY:
                if (const char* uid = icalproperty_get_uid(p); uid && *uid && !item.hasUid) {
                    item.eventID = uid;
                    item.hasUid = true;
                }
                break;
            case ICAL_SUMMARY_PROPERTY:
                if (const char* summary = icalproperty_get_summary(p); summary && item.title.empty())
                    item.title = truncatedUtf8(summary, maxTitleBytes);
                break;
            case ICAL_DTSTART_PROPERTY:
                if (!hasStart) {
                    if (auto t = time(p, icalproperty_get_dtstart(p))) {
                        item.rawStart = *t;
                        hasStart = true;
                    } else {
                        sawBadStart = true;
                    }
                }
                break;
            case ICAL_DTEND_PROPERTY:
                if (!item.rawEnd)
                    item.rawEnd = time(p, icalproperty_get_dtend(p));
                break;
            case ICAL_DURATION_PROPERTY:
                if (!item.rawDuration) {
                    const icaldurationtype d = icalproperty_get_duration(p);
                    if (!icaldurationtype_is_bad_duration(d))
                        item.rawDuration = d;
                }
                break;
            case ICAL_RRULE_PROPERTY: {
                icalrecurrencetype rule = icalproperty_get_rrule(p);
                if (rule.freq == ICAL_NO_RECURRENCE)
                    break;
                if (char* text = icalrecurrencetype_as_string_r(&rule)) {
                    item.rules.emplace_back(text);
                    icalmemory_free_buffer(text);
                }
                break;
            }
            case ICAL_RDATE_PROPERTY: {
                const icaldatetimeperiodtype value = icalproperty_get_rdate(p);
                Item::RawExtra extra;
                if (!icaltime_is_null_time(value.time)) {
                    if (auto t = time(p, value.time))
                        extra.start = *t;
                    else
                        break;
                } else if (auto t = time(p, value.period.start)) {
                    extra.start = *t;
                    if (!icaltime_is_null_time(value.period.end))
                        extra.end = time(p, value.period.end);
                    else if (!icaldurationtype_is_bad_duration(value.period.duration))
                        extra.duration = value.period.duration;
                } else {
                    break;
                }
                item.rawRdates.push_back(extra);
                break;
            }
            case ICAL_EXDATE_PROPERTY:
                if (auto t = time(p, icalproperty_get_exdate(p)))
                    item.rawExdates.push_back(*t);
                break;
            case ICAL_RECURRENCEID_PROPERTY:
                if (!item.rawRecurrenceId)
                    item.rawRecurrenceId = time(p, icalproperty_get_recurrenceid(p));
                break;
            case ICAL_STATUS_PROPERTY:
                item.isCanceled = icalproperty_get_status(p) == ICAL_STATUS_CANCELLED;
                break;
            case ICAL_TRANSP_PROPERTY:
                transp = icalproperty_get_transp(p);
                break;
            case ICAL_X_PROPERTY:
                if (const char* name = icalproperty_get_x_name(p);
                    name && equalsIgnoringCase(name, "X-MICROSOFT-CDO-BUSYSTATUS")) {
                    if (const char* value = icalproperty_get_x(p))
                        busyStatus = std::string(trimmed(value));
                }
                break;
            case ICAL_ATTENDEE_PROPERTY:
                if (item.participation == Participation::none)
                    item.participation = participation(p);
                break;
            default:
                break;
            }
        }
        if (!hasStart) {
            problem = sawBadStart || hadStart ? "its start time cannot be read" : "it has no start time";
            return std::nullopt;
        }
        item.isAllDay = item.rawStart.wall.is_date != 0;
        item.availability = availability(busyStatus, transp);
        return item;
    }

private:
    std::optional<RawTime> time(icalproperty* p, const icaltimetype& t)
    {
        if (!isUsableTime(t))
            return std::nullopt;
        RawTime raw;
        raw.wall = t;
        raw.wall.zone = nullptr;
        if (t.is_date)
            return raw;
        if (icaltime_is_utc(t)) {
            raw.kind = RawTime::Kind::utc;
            return raw;
        }
        if (icalparameter* param = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER)) {
            const char* tzid = icalparameter_get_tzid(param);
            const std::string_view id = tzid ? trimmed(tzid) : std::string_view{};
            if (!id.empty()) {
                raw.kind = RawTime::Kind::named;
                raw.tzid = intern(id);
            }
        }
        return raw;
    }

    int intern(std::string_view tzid)
    {
        std::string key(tzid);
        if (auto it = m_tzidIndex.find(key); it != m_tzidIndex.end())
            return it->second;
        const int index = static_cast<int>(m_tzids.size());
        m_tzids.push_back(key);
        m_tzidIndex.emplace(std::move(key), index);
        return index;
    }

    Participation participation(icalproperty* attendee) const
    {
        const char* value = icalproperty_get_attendee(attendee);
        if (!value)
            return Participation::none;
        const std::string address = normalizedAddress(value);
        if (std::find(m_addresses.begin(), m_addresses.end(), address) == m_addresses.end())
            return Participation::none;
        icalparameter* param = icalproperty_get_first_parameter(attendee, ICAL_PARTSTAT_PARAMETER);
        if (!param)
            return Participation::pending;  // NEEDS-ACTION is the default
        switch (icalparameter_get_partstat(param)) {
        case ICAL_PARTSTAT_ACCEPTED:
            return Participation::accepted;
        case ICAL_PARTSTAT_DECLINED:
            return Participation::declined;
        case ICAL_PARTSTAT_TENTATIVE:
            return Participation::tentative;
        case ICAL_PARTSTAT_NEEDSACTION:
            return Participation::pending;
        default:
            return Participation::unknown;
        }
    }

    static Availability availability(const std::string& busyStatus,
                                     std::optional<icalproperty_transp> transp)
    {
        if (equalsIgnoringCase(busyStatus, "BUSY"))
            return Availability::busy;
        if (equalsIgnoringCase(busyStatus, "TENTATIVE"))
            return Availability::tentative;
        if (equalsIgnoringCase(busyStatus, "OOF"))
            return Availability::unavailable;
        if (equalsIgnoringCase(busyStatus, "FREE"))
            return Availability::free;
        if (transp == ICAL_TRANSP_TRANSPARENT || transp == ICAL_TRANSP_TRANSPARENTNOCONFLICT)
            return Availability::free;
        return Availability::busy;
    }

    std::vector<std::string>& m_tzids;
    std::unordered_map<std::string, int>& m_tzidIndex;
    const std::vector<std::string>& m_addresses;
};

// ---- Scanning the text ---------------------------------------------------------------

// The event properties the reader uses; everything else (descriptions, attendee lists,
// alarms, vendor extensions: most of a real file) never reaches libical.
bool isKeptEventProperty(std::string_view name)
{
    static constexpr std::string_view kept[] = {
        "UID",   "DTSTART", "DTEND",  "DURATION", "RRULE",   "RDATE",
        "EXDATE", "RECURRENCE-ID", "SUMMARY", "STATUS", "TRANSP", "X-MICROSOFT-CDO-BUSYSTATUS"};
    for (std::string_view k : kept)
        if (equalsIgnoringCase(name, k))
            return true;
    return false;
}

class Parser {
public:
    Parser(std::string_view text, const IcsDocument::Options& options, IcsDocument::Data& data,
           std::optional<std::string> fixedNameAddress)
        : m_text(text), m_options(options), m_data(data), m_fixedNameAddress(fixedNameAddress)
    {
        for (const std::string& a : options.addresses)
            if (auto n = normalizedAddress(a); !n.empty())
                m_userAddresses.push_back(std::move(n));
        if (m_fixedNameAddress)
            m_nameAddress = *m_fixedNameAddress;
        else if (IcsDocument::isEmailAddress(options.fallbackName))
            m_nameAddress = normalizedAddress(options.fallbackName);
        refreshAddresses();
    }

    // Empty when done; else the calendar's own address turned out different after events
    // were read, and the text must be read again with it.
    std::optional<std::string> run()
    {
        scan();
        if (m_rescanAddress)
            return m_rescanAddress;
        resolve();
        return std::nullopt;
    }

private:
    enum class Where { outside, calendar, event, timezone, skipping };

    void refreshAddresses()
    {
        m_addresses = m_userAddresses;
        if (!m_nameAddress.empty())
            m_addresses.push_back(m_nameAddress);
    }

    void warn(std::string text) { m_data.warnings.push_back(std::move(text)); }

    std::string at(int line) const
    {
        return "in " + inQuotes(m_options.origin) + " (line " + std::to_string(line) + ")";
    }

    void scan()
    {
        std::string_view text = m_text;
        if (text.substr(0, 3) == "\xEF\xBB\xBF")
            text.remove_prefix(3);
        std::size_t pos = 0;
        int lineNo = 0;
        std::string joined;
        while (pos < text.size()) {
            // One content line: a physical line and its folded continuations.
            const int firstLine = ++lineNo;
            std::size_t end = text.find('\n', pos);
            if (end == std::string_view::npos)
                end = text.size();
            std::string_view first = text.substr(pos, end - pos);
            if (!first.empty() && first.back() == '\r')
                first.remove_suffix(1);
            pos = std::min(end + 1, text.size());
            const std::size_t continuations = pos;
            while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
                ++lineNo;
                std::size_t e = text.find('\n', pos);
                pos = e == std::string_view::npos ? text.size() : e + 1;
            }
            const std::string_view folded = text.substr(continuations, pos - continuations);
            if (first.empty() && folded.empty())
                continue;
            // The whole line is joined only when needed: folded descriptions are most of a
            // file, and they are dropped by name.
            auto line = [&]() -> std::string_view {
                if (folded.empty())
                    return first;
                joined.assign(first);
                std::size_t p = 0;
                while (p < folded.size()) {
                    std::size_t e = folded.find('\n', p);
                    if (e == std::string_view::npos)
                        e = folded.size();
                    std::string_view part = folded.substr(p + 1, e - p - 1);
                    if (!part.empty() && part.back() == '\r')
                        part.remove_suffix(1);
                    joined.append(part);
                    p = e + 1;
                }
                return joined;
            };
            std::string_view name = propertyName(first);
            if (name.size() == first.size() && !folded.empty())
                name = propertyName(line());
            handle(name, line, firstLine);
            if (m_rescanAddress || m_stopped)
                return;
        }
        if (m_where == Where::event)
            warn("skipped an event " + at(m_blockLine) + ": it has no end");
    }

    template <typename LineFn>
    void handle(std::string_view name, LineFn& line, int lineNo)
    {
        const bool isBegin = equalsIgnoringCase(name, "BEGIN");
        const bool isEnd = !isBegin && equalsIgnoringCase(name, "END");
        std::string_view value;
        if (isBegin || isEnd)
            value = trimmed(propertyValue(line()));

        switch (m_where) {
        case Where::outside:
            if (isBegin && equalsIgnoringCase(value, "VCALENDAR")) {
                m_where = Where::calendar;
                m_data.isCalendar = true;
            }
            return;
        case Where::calendar:
            if (isBegin) {
                if (equalsIgnoringCase(value, "VEVENT"))
                    beginEvent(lineNo);
                else if (equalsIgnoringCase(value, "VTIMEZONE"))
                    beginTimezone();
                else {
                    m_where = Where::skipping;
                    m_depth = 1;
                }
            } else if (isEnd) {
                if (equalsIgnoringCase(value, "VCALENDAR"))
                    m_where = Where::outside;
            } else {
                calendarProperty(name, line());
            }
            return;
        case Where::event:
            if (isBegin) {
                if (m_depth == 0 && equalsIgnoringCase(value, "VEVENT")) {
                    warn("skipped an event " + at(m_blockLine) + ": it has no end");
                    beginEvent(lineNo);
                } else {
                    ++m_depth;
                }
            } else if (isEnd) {
                if (m_depth > 0)
                    --m_depth;
                else if (equalsIgnoringCase(value, "VCALENDAR")) {
                    warn("skipped an event " + at(m_blockLine) + ": it has no end");
                    m_where = Where::outside;
                } else {
                    endEvent();
                }
            } else if (m_depth == 0) {
                if (isKeptEventProperty(name))
                    keep(name, line());
                else if (equalsIgnoringCase(name, "ATTENDEE")) {
                    const std::string_view l = line();
                    for (const std::string& address : m_addresses) {
                        if (containsLowered(l, address)) {
                            keep(name, l);
                            break;
                        }
                    }
                    if (!m_sawName)
                        m_sawAttendeeBeforeName = true;
                }
            }
            return;
        case Where::timezone:
            if (isEnd && m_depth == 0) {
                endTimezone();
                return;
            }
            if (isBegin)
                ++m_depth;
            else if (isEnd)
                --m_depth;
            else if (m_depth == 0 && equalsIgnoringCase(name, "TZID"))
                m_tzid = std::string(trimmed(propertyValue(line())));
            if (m_block.size() + line().size() > maxTimezoneBytes)
                m_blockTooLong = true;
            else {
                m_block.append(line());
                m_block += "\r\n";
            }
            return;
        case Where::skipping:
            if (isBegin)
                ++m_depth;
            else if (isEnd && --m_depth == 0)
                m_where = Where::calendar;
            return;
        }
    }

    void calendarProperty(std::string_view name, std::string_view line)
    {
        const std::string_view value = trimmed(propertyValue(line));
        if (equalsIgnoringCase(name, "X-WR-CALNAME") ||
            (equalsIgnoringCase(name, "NAME") && !m_sawWrName)) {
            m_sawWrName = m_sawWrName || equalsIgnoringCase(name, "X-WR-CALNAME");
            m_data.name = truncatedUtf8(unescapedText(value), maxTitleBytes);
            m_sawName = true;
            if (m_options.usesTextName && !m_fixedNameAddress) {
                const std::string address = IcsDocument::isEmailAddress(m_data.name)
                                                ? normalizedAddress(m_data.name)
                                                : std::string();
                if (address != m_nameAddress) {
                    if (m_sawAttendeeBeforeName) {
                        m_rescanAddress = address;
                        return;
                    }
                    m_nameAddress = address;
                    refreshAddresses();
                }
            }
        } else if (equalsIgnoringCase(name, "COLOR")) {
            m_data.color = std::string(value);
            m_sawColor = true;
        } else if (equalsIgnoringCase(name, "X-APPLE-CALENDAR-COLOR")) {
            if (!m_sawColor)
                m_data.color = std::string(value);
        } else if (equalsIgnoringCase(name, "REFRESH-INTERVAL") || equalsIgnoringCase(name, "SOURCE") ||
                   equalsIgnoringCase(name, "X-PUBLISHED-TTL")) {
            m_data.isFeed = true;
        }
    }

    void beginEvent(int lineNo)
    {
        m_where = Where::event;
        m_depth = 0;
        m_blockLine = lineNo;
        m_blockTooLong = false;
        m_blockHasStart = false;
        m_block.assign("BEGIN:VEVENT\r\n");
        m_identity.reset();
        m_identity.addData(QByteArrayView(m_options.calendarID.data(),
                                          static_cast<qsizetype>(m_options.calendarID.size())));
    }

    void keep(std::string_view name, std::string_view line)
    {
        if (line.size() > maxKeptLineBytes) {
            m_blockTooLong = true;
            return;
        }
        m_block.append(line);
        m_block += "\r\n";
        m_blockHasStart = m_blockHasStart || equalsIgnoringCase(name, "DTSTART");
        if (!equalsIgnoringCase(name, "ATTENDEE")) {
            m_identity.addData(QByteArrayView("\n", 1));
            m_identity.addData(QByteArrayView(line.data(), static_cast<qsizetype>(line.size())));
        }
    }

    void endEvent()
    {
        m_where = Where::calendar;
        if (m_data.items.size() >= IcsDocument::maxEvents) {
            if (!m_data.isTruncated)
                warn(inQuotes(m_options.origin) + " holds more than " +
                     std::to_string(IcsDocument::maxEvents) + " events; the rest are left out");
            m_data.isTruncated = true;
            m_stopped = true;
            return;
        }
        m_block += "END:VEVENT\r\n";
        const ComponentPtr component = parseComponent(m_block);
        if (!component || icalcomponent_isa(component.get()) != ICAL_VEVENT_COMPONENT) {
            warn("skipped an event " + at(m_blockLine) + ": it cannot be read");
            return;
        }
        EventReader reader(m_tzids, m_tzidIndex, m_addresses);
        std::string problem;
        auto item = reader.read(component.get(), m_blockHasStart, problem);
        if (!item) {
            warn("skipped an event " + at(m_blockLine) + ": " + problem);
            return;
        }
        if (m_blockTooLong)
            warn("an event " + at(m_blockLine) + " has a property too long to read; it is left out");
        item->line = m_blockLine;
        if (!item->hasUid)
            item->eventID = "nelvo-" + m_identity.result().toHex().left(32).toStdString();
        m_data.items.push_back(std::move(*item));
    }

    void beginTimezone()
    {
        m_where = Where::timezone;
        m_depth = 0;
        m_tzid.clear();
        m_blockTooLong = false;
        m_block.assign("BEGIN:VTIMEZONE\r\n");
    }

    void endTimezone()
    {
        m_where = Where::calendar;
        m_block += "END:VTIMEZONE\r\n";
        if (!m_tzid.empty() && !m_blockTooLong && !m_timezones.count(m_tzid))
            m_timezones.emplace(m_tzid, m_block);
    }

    // ---- Resolving times, once every VTIMEZONE is known --------------------------------

    int zoneFor(const RawTime& t)
    {
        switch (t.kind) {
        case RawTime::Kind::floating:
            return primaryZone;
        case RawTime::Kind::utc:
            return utcZone;
        case RawTime::Kind::named:
            break;
        }
        if (t.tzid < 0 || t.tzid >= static_cast<int>(m_tzids.size()))
            return primaryZone;
        if (static_cast<int>(m_resolved.size()) < static_cast<int>(m_tzids.size()))
            m_resolved.resize(m_tzids.size(), -1);
        int& slot = m_resolved[static_cast<std::size_t>(t.tzid)];
        if (slot < 0)
            slot = resolveTzid(m_tzids[static_cast<std::size_t>(t.tzid)]);
        return slot;
    }

    // The file's own VTIMEZONE first (as RFC 5545 wants), then an IANA name, then a Windows
    // name, then an IANA name at the end of a path-like TZID ("/example.org/Europe/Berlin").
    int resolveTzid(const std::string& tzid)
    {
        if (auto it = m_timezones.find(tzid); it != m_timezones.end()) {
            if (auto zone = zoneFromVtimezone(it->second)) {
                m_data.zones.push_back(Zone::ofIcal(zone.get()));
                m_data.ownedZones.push_back(std::move(zone));
                return static_cast<int>(m_data.zones.size()) - 1;
            }
        }
        std::optional<TimeZone> named = TimeZone::named(tzid);
        if (!named) {
            icu::UnicodeString windowsId = icu::UnicodeString::fromUTF8(tzid);
            icu::UnicodeString iana;
            UErrorCode status = U_ZERO_ERROR;
            icu::TimeZone::getIDForWindowsID(windowsId, nullptr, iana, status);
            if (U_SUCCESS(status) && !iana.isEmpty()) {
                std::string id;
                iana.toUTF8String(id);
                named = TimeZone::named(id);
            }
        }
        if (!named && tzid.size() > 1 && tzid.front() == '/') {
            for (std::size_t slash = tzid.find('/', 1); slash != std::string::npos && !named;
                 slash = tzid.find('/', slash + 1))
                named = TimeZone::named(std::string_view(tzid).substr(slash + 1));
        }
        if (!named) {
            warn("unknown time zone " + inQuotes(tzid) + " in " + inQuotes(m_options.origin) +
                 ": its times are read in " + m_options.primaryZone.id());
            return primaryZone;
        }
        if (named->id() == "Etc/UTC" || named->id() == "UTC")
            return utcZone;
        m_data.zones.push_back(Zone::ofCalendar(*named));
        return static_cast<int>(m_data.zones.size()) - 1;
    }

    // A libical zone from the text of a VTIMEZONE; empty when it is unusable or could make
    // libical's expansion of it run away.
    static IcalZonePtr zoneFromVtimezone(const std::string& text)
    {
        ComponentPtr component = parseComponent(text);
        if (!component || icalcomponent_isa(component.get()) != ICAL_VTIMEZONE_COMPONENT)
            return nullptr;
        std::vector<icalcomponent*> observances;
        for (icalcomponent* c = icalcomponent_get_first_component(component.get(), ICAL_ANY_COMPONENT);
             c; c = icalcomponent_get_next_component(component.get(), ICAL_ANY_COMPONENT))
            observances.push_back(c);
        if (observances.empty() || observances.size() > maxObservances)
            return nullptr;
        for (icalcomponent* o : observances) {
            const icalcomponent_kind kind = icalcomponent_isa(o);
            if (kind != ICAL_XSTANDARD_COMPONENT && kind != ICAL_XDAYLIGHT_COMPONENT)
                return nullptr;
            std::vector<icalproperty*> properties;
            for (icalproperty* p = icalcomponent_get_first_property(o, ICAL_ANY_PROPERTY); p;
                 p = icalcomponent_get_next_property(o, ICAL_ANY_PROPERTY))
                properties.push_back(p);
            bool hasStart = false, hasFrom = false, hasTo = false;
            for (icalproperty* p : properties) {
                switch (icalproperty_isa(p)) {
                case ICAL_DTSTART_PROPERTY:
                    hasStart = isUsableTime(icalproperty_get_dtstart(p));
                    break;
                case ICAL_TZOFFSETFROM_PROPERTY:
                    hasFrom = std::abs(icalproperty_get_tzoffsetfrom(p)) < 86400;
                    break;
                case ICAL_TZOFFSETTO_PROPERTY:
                    hasTo = std::abs(icalproperty_get_tzoffsetto(p)) < 86400;
                    break;
                case ICAL_RRULE_PROPERTY:
                    // Zone rules change yearly; anything faster is not a zone.
                    if (icalproperty_get_rrule(p).freq != ICAL_YEARLY_RECURRENCE)
                        return nullptr;
                    break;
                case ICAL_RDATE_PROPERTY:
                    if (!isUsableTime(icalproperty_get_rdate(p).time))
                        return nullptr;
                    break;
                default:
                    break;
                }
            }
            if (!hasStart || !hasFrom || !hasTo)
                return nullptr;
        }
        IcalZonePtr zone(icaltimezone_new());
        if (!zone)
            return nullptr;
        if (!icaltimezone_set_component(zone.get(), component.get()))
            return nullptr;
        component.release();  // the zone owns it now
        return zone;
    }

    void resolve()
    {
        std::vector<Item> kept;
        kept.reserve(m_data.items.size());
        for (Item& item : m_data.items) {
            if (resolve(item))
                kept.push_back(std::move(item));
        }
        m_data.items = std::move(kept);
    }

    bool resolve(Item& item)
    {
        item.zone = zoneFor(item.rawStart);
        const Zone& zone = m_data.zones[static_cast<std::size_t>(item.zone)];
        item.startWall = item.rawStart.wall;
        const auto start = instant(zone, item.startWall);
        if (!start) {
            warn("skipped an event " + at(item.line) + ": its start time does not exist");
            return false;
        }
        item.start = *start;

        if (item.rawEnd) {
            const RawTime& end = *item.rawEnd;
            item.hasOwnSpan = true;
            if (item.isAllDay && end.wall.is_date) {
                item.span.days = static_cast<int>(std::clamp<std::int64_t>(
                    dayNumber(end.wall) - dayNumber(item.startWall), 1, maxSpanDays));
            } else if (auto e = instant(zoneAt(end), end.wall)) {
                item.span.seconds = std::clamp(*e - *start, 0.0, maxSpanDays * 86400.0);
            }
        } else if (item.rawDuration) {
            item.hasOwnSpan = true;
            item.span = span(*item.rawDuration);
        }
        if (item.isAllDay && item.span.days == 0 && item.span.seconds <= 0)
            item.span.days = 1;  // a date without an end lasts the day
        item.end = endOf(zone, item.startWall, item.start, item.span);

        if (item.rawRecurrenceId)
            item.recurrenceId = instant(zoneAt(*item.rawRecurrenceId), item.rawRecurrenceId->wall);
        if (item.rawRecurrenceId && !item.recurrenceId) {
            warn("skipped an event " + at(item.line) + ": its RECURRENCE-ID cannot be read");
            return false;
        }
        if (item.recurrenceId)
            item.rules.clear();  // an override is one occurrence

        for (const Item::RawExtra& extra : item.rawRdates) {
            const auto s = instant(zoneAt(extra.start), extra.start.wall);
            if (!s || item.recurrenceId)
                continue;
            Date e = endOf(zone, wallAt(zone, *s, item.isAllDay), *s, item.span);
            if (extra.end) {
                if (auto explicitEnd = instant(zoneAt(*extra.end), extra.end->wall))
                    e = std::max(*s, *explicitEnd);
            } else if (extra.duration) {
                e = endOf(zone, wallAt(zone, *s, item.isAllDay), *s, span(*extra.duration));
            }
            item.rdates.push_back({*s, e});
        }
        for (const RawTime& ex : item.rawExdates) {
            if ((ex.wall.is_date != 0) != item.isAllDay)
                item.exdateDays.push_back(dayNumber(ex.wall));
            else if (auto s = instant(zoneAt(ex), ex.wall))
                item.exdates.push_back(s->seconds);
        }
        std::sort(item.exdates.begin(), item.exdates.end());
        std::sort(item.exdateDays.begin(), item.exdateDays.end());

        item.rawEnd.reset();
        item.rawRecurrenceId.reset();
        item.rawRdates = {};
        item.rawExdates = {};
        return true;
    }

    const Zone& zoneAt(const RawTime& t) { return m_data.zones[static_cast<std::size_t>(zoneFor(t))]; }

    static Span span(const icaldurationtype& d)
    {
        if (d.is_neg)
            return {};
        const double days = std::min<double>(d.days + 7.0 * d.weeks, maxSpanDays);
        const double seconds = std::min<double>(d.hours * 3600.0 + d.minutes * 60.0 + d.seconds,
                                                maxSpanDays * 86400.0);
        return Span{.days = static_cast<int>(days), .seconds = seconds};
    }

    std::string_view m_text;
    const IcsDocument::Options& m_options;
    IcsDocument::Data& m_data;
    std::optional<std::string> m_fixedNameAddress;

    std::vector<std::string> m_userAddresses;
    std::string m_nameAddress;
    std::vector<std::string> m_addresses;
    bool m_sawName = false;
    bool m_sawWrName = false;
    bool m_sawColor = false;
    bool m_sawAttendeeBeforeName = false;
    std::optional<std::string> m_rescanAddress;
    bool m_stopped = false;

    Where m_where = Where::outside;
    int m_depth = 0;
    int m_blockLine = 0;
    bool m_blockTooLong = false;
    bool m_blockHasStart = false;
    std::string m_block;
    std::string m_tzid;
    QCryptographicHash m_identity{QCryptographicHash::Sha256};

    std::unordered_map<std::string, std::string> m_timezones;  // TZID -> VTIMEZONE text
    std::vector<std::string> m_tzids;
    std::unordered_map<std::string, int> m_tzidIndex;
    std::vector<int> m_resolved;  // TZID index -> zone index
};

// ---- Expansion -----------------------------------------------------------------------

struct OverrideKey {
    std::string_view uid;
    double start;
    bool operator==(const OverrideKey&) const = default;
};

struct OverrideKeyHash {
    std::size_t operator()(const OverrideKey& k) const noexcept
    {
        std::size_t seed = std::hash<std::string_view>{}(k.uid);
        hashCombine(seed, std::hash<double>{}(k.start));
        return seed;
    }
};

class Expander {
public:
    Expander(Date from, Date to, const std::string& calendarID, const std::string& colorHex,
             std::size_t maxOccurrences, std::vector<CalendarEvent>& out,
             std::vector<std::string>& warnings)
        : m_from(from), m_to(to), m_calendarID(calendarID), m_colorHex(colorHex),
          m_maxOccurrences(maxOccurrences), m_out(out), m_warnings(warnings)
    {
    }

    bool run(std::span<const IcsDocument* const> documents,
             const std::function<const IcsDocument::Data&(const IcsDocument*)>& dataOf)
    {
        for (const IcsDocument* document : documents) {
            for (const Item& item : dataOf(document).items) {
                if (!item.hasUid)
                    continue;
                if (item.recurrenceId)
                    m_overridden.insert({item.eventID, item.recurrenceId->seconds});
                else if (item.isSeries())
                    m_masters.emplace(item.eventID, &item);
            }
        }
        for (const IcsDocument* document : documents) {
            const IcsDocument::Data& data = dataOf(document);
            m_data = &data;
            for (const Item& item : data.items) {
                if (item.recurrenceId)
                    replacement(item);
                else
                    occurrences(item);
                if (m_full)
                    return false;
            }
        }
        return true;
    }

private:
    void replacement(const Item& item)
    {
        const Item* master = nullptr;
        if (auto it = m_masters.find(item.eventID); it != m_masters.end())
            master = it->second;
        Date end = item.end;
        if (!item.hasOwnSpan && master) {
            const Zone& zone = m_data->zones[static_cast<std::size_t>(item.zone)];
            end = endOf(zone, item.startWall, item.start, master->span);
        }
        if (overlaps(item.start, end, m_from, m_to))
            push(item, *item.recurrenceId, item.start, end,
                 item.title.empty() && master ? master->title : item.title);
    }

    void occurrences(const Item& item)
    {
        if (!item.isSeries()) {
            if (!isReplaced(item, item.start) && !isExcluded(item, item.start, item.startWall) &&
                overlaps(item.start, item.end, m_from, m_to))
                push(item, item.start, item.start, item.end, item.title);
            return;
        }
        m_seen.clear();
        const Zone& zone = m_data->zones[static_cast<std::size_t>(item.zone)];
        // DTSTART is always the first occurrence, whether or not the rule would make it.
        candidate(item, item.start, item.end, item.startWall);
        for (const Occurrence& extra : item.rdates)
            candidate(item, extra.start, extra.end,
                      item.exdateDays.empty() ? item.startWall : wallAt(zone, extra.start, item.isAllDay));
        for (const std::string& rule : item.rules) {
            if (m_full || m_outOfSteps)
                return;
            expandRule(item, zone, rule);
        }
    }

    void expandRule(const Item& item, const Zone& zone, const std::string& text)
    {
        icalrecurrencetype rule = icalrecurrencetype_from_string(text.c_str());
        if (rule.freq == ICAL_NO_RECURRENCE)
            return;
        // UNTIL is compared here, as an instant: libical would compare a UTC UNTIL with
        // wall times of another zone, losing the last occurrence east of Greenwich.
        std::optional<Date> until;
        if (!icaltime_is_null_time(rule.until)) {
            icaltimetype u = rule.until;
            const bool isUtc = icaltime_is_utc(u);
            u.zone = nullptr;
            if (item.isAllDay) {
                u.is_date = 1;
                until = instant(m_data->zones[primaryZone], u);
            } else if (u.is_date) {
                u.is_date = 0;
                u.hour = 23;
                u.minute = 59;
                u.second = 59;
                until = instant(zone, u);
            } else {
                until = isUtc ? instant(m_data->zones[utcZone], u) : instant(zone, u);
            }
            if (!until)
                return;
            rule.until = icaltime_null_time();
        }
        const bool counts = rule.count > 0;
        // Occurrences starting this early may still reach into the window.
        const Date lookFrom = m_from.addingSeconds(-(item.span.days + 2) * 86400.0 - item.span.seconds);
        icaltimetype start = item.startWall;
        start.zone = nullptr;
        if (!counts && rule.freq <= ICAL_HOURLY_RECURRENCE) {
            // libical's own skipping ahead loses the phase of sub-daily rules: move DTSTART
            // forward by whole intervals instead.
            const double unit = rule.freq == ICAL_SECONDLY_RECURRENCE   ? 1.0
                                : rule.freq == ICAL_MINUTELY_RECURRENCE ? 60.0
                                                                        : 3600.0;
            const double step = unit * std::max<short>(rule.interval, 1);
            const double gap = naiveSeconds(wallAt(zone, lookFrom, false)) - naiveSeconds(start);
            if (gap > step)
                start = naiveWall(naiveSeconds(start) + std::floor(gap / step) * step, false);
        }
        icalrecur_iterator* iterator = icalrecur_iterator_new(rule, start);
        if (!iterator)
            return;
        const std::unique_ptr<icalrecur_iterator, void (*)(icalrecur_iterator*)> owner(
            iterator, icalrecur_iterator_free);
        if (!counts && rule.freq >= ICAL_DAILY_RECURRENCE) {
            const icaltimetype target = wallAt(zone, lookFrom, item.isAllDay);
            if (naiveSeconds(target) > naiveSeconds(start))
                icalrecur_iterator_set_start(iterator, target);
        }
        std::size_t instances = 0;
        while (!m_full) {
            if (m_steps >= IcsDocument::maxStepsPerExpansion) {
                m_outOfSteps = true;
                m_warnings.push_back("stopped repeating events in " + inQuotes(m_data->origin) +
                                     " after " + std::to_string(m_steps) +
                                     " occurrences; later ones are left out");
                return;
            }
            ++m_steps;
            const icaltimetype t = icalrecur_iterator_next(iterator);
            if (icaltime_is_null_time(t))
                return;
            if (++instances > IcsDocument::maxInstancesPerRule) {
                m_warnings.push_back("stopped repeating an event in " + inQuotes(m_data->origin) +
                                     " (line " + std::to_string(item.line) + ") after " +
                                     std::to_string(IcsDocument::maxInstancesPerRule) +
                                     " occurrences");
                return;
            }
            const auto s = instant(zone, t);
            if (!s)
                continue;
            if ((until && *s > *until) || *s >= m_to)
                return;
            candidate(item, *s, endOf(zone, t, *s, item.span), t);
        }
    }

    void candidate(const Item& item, Date start, Date end, const icaltimetype& wall)
    {
        if (!m_seen.insert(start.seconds).second)
            return;
        if (isReplaced(item, start) || isExcluded(item, start, wall) ||
            !overlaps(start, end, m_from, m_to))
            return;
        push(item, start, start, end, item.title);
    }

    bool isReplaced(const Item& item, Date start) const
    {
        return item.hasUid && !m_overridden.empty() &&
               m_overridden.count({item.eventID, start.seconds});
    }

    static bool isExcluded(const Item& item, Date start, const icaltimetype& wall)
    {
        if (std::binary_search(item.exdates.begin(), item.exdates.end(), start.seconds))
            return true;
        return !item.exdateDays.empty() &&
               std::binary_search(item.exdateDays.begin(), item.exdateDays.end(), dayNumber(wall));
    }

    void push(const Item& item, Date occurrenceStart, Date start, Date end, const std::string& title)
    {
        if (m_out.size() >= m_maxOccurrences) {
            m_full = true;
            return;
        }
        m_out.push_back(CalendarEvent{.eventID = item.eventID,
                                      .occurrenceStart = occurrenceStart,
                                      .start = start,
                                      .end = end,
                                      .title = title,
                                      .calendarID = m_calendarID,
                                      .calendarColorHex = m_colorHex,
                                      .isAllDay = item.isAllDay,
                                      .availability = item.availability,
                                      .participation = item.participation,
                                      .isCanceled = item.isCanceled});
    }

    Date m_from;
    Date m_to;
    const std::string& m_calendarID;
    const std::string& m_colorHex;
    std::size_t m_maxOccurrences;
    std::vector<CalendarEvent>& m_out;
    std::vector<std::string>& m_warnings;

    const IcsDocument::Data* m_data = nullptr;
    std::unordered_set<OverrideKey, OverrideKeyHash> m_overridden;
    std::unordered_map<std::string_view, const Item*> m_masters;
    std::unordered_set<double> m_seen;
    std::size_t m_steps = 0;
    bool m_outOfSteps = false;
    bool m_full = false;
};

}  // namespace

IcsDocument::IcsDocument(std::unique_ptr<Data> data) : m_data(std::move(data)) {}

IcsDocument::~IcsDocument() = default;

std::shared_ptr<const IcsDocument> IcsDocument::parse(std::string_view text, const Options& options)
{
    prepareLibical();
    std::optional<std::string> nameAddress;
    for (int attempt = 0; attempt < 2; ++attempt) {
        auto data = std::make_unique<Data>();
        data->origin = options.origin;
        data->zones.push_back(Zone::ofUtc());
        data->zones.push_back(Zone::ofCalendar(options.primaryZone));
        Parser parser(text, options, *data, nameAddress);
        nameAddress = parser.run();
        if (nameAddress && attempt == 0)
            continue;  // read again, knowing the calendar's own address from the start
        data->title = options.usesTextName && !data->name.empty() ? data->name : options.fallbackName;
        return std::shared_ptr<const IcsDocument>(new IcsDocument(std::move(data)));
    }
    return nullptr;  // not reached: the second reading has its address fixed
}

bool IcsDocument::isCalendar() const { return m_data->isCalendar; }
const std::string& IcsDocument::name() const { return m_data->name; }
const std::string& IcsDocument::title() const { return m_data->title; }
const std::string& IcsDocument::color() const { return m_data->color; }
bool IcsDocument::isPublishedFeed() const { return m_data->isFeed; }
bool IcsDocument::isTruncated() const { return m_data->isTruncated; }
std::size_t IcsDocument::eventCount() const { return m_data->items.size(); }
const std::vector<std::string>& IcsDocument::warnings() const { return m_data->warnings; }

bool IcsDocument::expand(std::span<const IcsDocument* const> documents, Date from, Date to,
                         const std::string& calendarID, const std::string& colorHex,
                         std::size_t maxOccurrences, std::vector<CalendarEvent>& out,
                         std::vector<std::string>& warnings)
{
    if (!(from < to))
        return true;
    Expander expander(from, to, calendarID, colorHex, maxOccurrences, out, warnings);
    return expander.run(documents, [](const IcsDocument* d) -> const Data& { return *d->m_data; });
}

std::string IcsDocument::normalizedColorHex(std::string_view text)
{
    text = trimmed(text);
    auto isHex = [](std::string_view digits) {
        return std::all_of(digits.begin(), digits.end(),
                           [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
    };
    std::string hex;
    if (!text.empty() && text.front() == '#') {
        const std::string_view digits = text.substr(1);
        if (!isHex(digits))
            return {};
        if (digits.size() == 3)
            hex = {digits[0], digits[0], digits[1], digits[1], digits[2], digits[2]};
        else if (digits.size() == 6 || digits.size() == 8)
            hex = digits.substr(0, 6);  // "#RRGGBBAA": the alpha is dropped
        else
            return {};
    } else {
        // CSS colour names ("turquoise"), as RFC 7986 writes COLOR.
        if (text.empty() || text.size() > 32 ||
            !std::all_of(text.begin(), text.end(),
                         [](char c) { return std::isalpha(static_cast<unsigned char>(c)); }))
            return {};
        const QColor color = QColor::fromString(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
        if (!color.isValid())
            return {};
        hex = color.name(QColor::HexRgb).mid(1).toStdString();
    }
    for (char& c : hex)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return "#" + hex;
}

bool IcsDocument::isEmailAddress(std::string_view text)
{
    text = trimmed(text);
    const auto at = text.find('@');
    if (at == 0 || at == std::string_view::npos || text.find('@', at + 1) != std::string_view::npos)
        return false;
    const std::string_view domain = text.substr(at + 1);
    const auto dot = domain.find('.');
    if (dot == 0 || dot == std::string_view::npos || domain.back() == '.')
        return false;
    return std::none_of(text.begin(), text.end(), [](char c) {
        return c == ' ' || c == '\t' || c == ':' || c == '<' || c == '>' || c == ',' || c == ';';
    });
}

}  // namespace nelvo
