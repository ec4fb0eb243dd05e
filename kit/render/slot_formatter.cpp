#include "kit/render/slot_formatter.h"

#include "kit/core/ascii_text.h"
#include "kit/core/civil.h"
#include "kit/core/icu_zone.h"

#include <unicode/tzfmt.h>
#include <unicode/tznames.h>
#include <unicode/tztrans.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace nelvo::SlotFormatter {

namespace {

constexpr std::string_view dayKeyPattern = "yyyy-MM-dd";

// Formatters cost far more to build than to use: one per (pattern, zone), per thread.
std::string format(std::string_view pattern, const TimeZone& zone, Date date)
{
    return DateFormatter::cached(pattern, zone).string(date);
}

// The local fields of an instant, worked out from the zone's offset the way the formatter
// does. A table names a few hundred times, and formatting each one through ICU would cost
// more than everything else in a render; these fields give the same "h:mma", "HH:mm", "EEE"
// texts and the same day comparisons as "yyyy-MM-dd" keys.
struct WallClock {
    std::int64_t day = 0;  // days since 1970-01-01, local
    int hour = 0;
    int minute = 0;
    int weekday = 1;  // 1 = Sunday
};

// Empty far outside any calendar (beyond about ±9,500 years): the formatter handles those.
std::optional<WallClock> wallClock(Date date, const TimeZone& zone)
{
    const double local = date.unixSeconds() + zone.offsetSeconds(date);
    if (!std::isfinite(local) || std::fabs(local) > 3.0e11)
        return std::nullopt;
    const auto whole = static_cast<std::int64_t>(std::floor(local));
    const std::int64_t day = Civil::floorDiv(whole, 86400);
    const std::int64_t second = whole - day * 86400;
    return WallClock{.day = day,
                     .hour = static_cast<int>(second / 3600),
                     .minute = static_cast<int>(second / 60 % 60),
                     .weekday = Civil::weekdayFromDays(day)};
}

bool isSameDay(Date a, const TimeZone& zoneA, Date b, const TimeZone& zoneB)
{
    const auto clockA = wallClock(a, zoneA);
    const auto clockB = wallClock(b, zoneB);
    if (clockA && clockB)
        return clockA->day == clockB->day;
    return format(dayKeyPattern, zoneA, a) == format(dayKeyPattern, zoneB, b);
}

bool isSameMonth(Date a, Date b, const TimeZone& zone)
{
    const auto clockA = wallClock(a, zone);
    const auto clockB = wallClock(b, zone);
    if (clockA && clockB) {
        const auto dateA = Civil::civilFromDays(clockA->day);
        const auto dateB = Civil::civilFromDays(clockB->day);
        return dateA.year == dateB.year && dateA.month == dateB.month;
    }
    return format("yyyy-MM", zone, a) == format("yyyy-MM", zone, b);
}

void appendTwoDigits(std::string& text, int value)
{
    text += static_cast<char>('0' + value / 10);
    text += static_cast<char>('0' + value % 10);
}

// "h:mma" (then case-converted) or "HH:mm", as the formatter writes them.
std::string clockTime(const WallClock& clock, bool use24Hour, bool uppercaseMeridiem)
{
    std::string text;
    if (use24Hour) {
        appendTwoDigits(text, clock.hour);
    } else {
        const int hour = clock.hour % 12 == 0 ? 12 : clock.hour % 12;
        if (hour >= 10)
            text += '1';
        text += static_cast<char>('0' + hour % 10);
    }
    text += ':';
    appendTwoDigits(text, clock.minute);
    if (!use24Hour) {
        const bool isMorning = clock.hour < 12;
        text += uppercaseMeridiem ? (isMorning ? "AM" : "PM") : (isMorning ? "am" : "pm");
    }
    return text;
}

// "EEE".
std::string_view weekdayName(const WallClock& clock)
{
    static constexpr std::array<std::string_view, 7> names = {"Sun", "Mon", "Tue", "Wed",
                                                              "Thu", "Fri", "Sat"};
    return names[static_cast<std::size_t>(clock.weekday - 1)];
}

// One end of a slot as `text` needs it. `Day` identifies the calendar day: a local day
// number, or the "yyyy-MM-dd" key where the formatter has to do the work.
template <typename Day>
struct Endpoint {
    Day day;
    std::string time;
    std::string weekday;
};

template <typename Day>
std::string joinedRange(const Endpoint<Day>& start, const Endpoint<Day>& end,
                        const Day& referenceDay, std::string_view dash)
{
    const auto appendMarker = [](std::string& text, std::string_view weekday) {
        text.append(" (").append(weekday).append(")");
    };
    std::string result;
    result.reserve(start.time.size() + dash.size() + end.time.size() + 12);
    result += start.time;
    const bool startsOnReferenceDay = start.day == referenceDay;
    if (start.day == end.day) {
        result.append(dash).append(end.time);
        if (!startsOnReferenceDay)
            appendMarker(result, end.weekday);
        return result;
    }
    if (!startsOnReferenceDay)
        appendMarker(result, start.weekday);
    result.append(dash).append(end.time);
    if (end.day != referenceDay)
        appendMarker(result, end.weekday);
    return result;
}

enum class NameKind { generic, name, abbreviation };

const icu::Locale& english()
{
    static const icu::Locale locale("en_US");
    return locale;
}

// ICU's name tables take long to load; one set per thread (they are not thread-safe).
struct ZoneNameSource {
    std::unique_ptr<icu::TimeZoneFormat> format;
    std::unique_ptr<icu::TimeZoneNames> names;
    std::map<std::string, icu::UnicodeString, std::less<>> canonicalIds;
};

ZoneNameSource* zoneNameSource()
{
    thread_local const std::unique_ptr<ZoneNameSource> source = [] {
        UErrorCode status = U_ZERO_ERROR;
        auto result = std::make_unique<ZoneNameSource>();
        result->format.reset(icu::TimeZoneFormat::createInstance(english(), status));
        result->names.reset(icu::TimeZoneNames::createInstance(english(), status));
        if (U_FAILURE(status) || !result->format || !result->names)
            result.reset();
        return result;
    }();
    return source.get();
}

// CLDR's canonical id, which keys the name tables ("Asia/Calcutta" for Asia/Kolkata).
const icu::UnicodeString* canonicalId(ZoneNameSource& source, const TimeZone& zone)
{
    auto it = source.canonicalIds.find(zone.id());
    if (it == source.canonicalIds.end()) {
        UErrorCode status = U_ZERO_ERROR;
        icu::UnicodeString canonical;
        icu::TimeZone::getCanonicalID(fromUtf8(zone.id()), canonical, status);
        if (U_FAILURE(status))
            return nullptr;
        it = source.canonicalIds.emplace(zone.id(), canonical).first;
    }
    return &it->second;
}

// What icu::TimeZone::getDisplayName gives (generic LONG_GENERIC, LONG, SHORT, with the same
// fallbacks to a GMT offset), except that the name is taken for `date` instead of for the
// moment of the call: zones change names over the years, and the output must not depend on
// the clock.
std::string zoneName(const TimeZone& zone, NameKind kind, bool inDaylight, Date date)
{
    ZoneNameSource* source = zoneNameSource();
    if (!source)
        return {};
    const icu::BasicTimeZone& tz = icuZone(zone);
    UErrorCode status = U_ZERO_ERROR;
    int32_t rawMillis = 0;
    int32_t dstMillis = 0;
    tz.getOffset(date.udate(), false, rawMillis, dstMillis, status);
    if (U_FAILURE(status))
        return {};
    icu::UnicodeString result;
    if (kind == NameKind::generic) {
        UTimeZoneFormatTimeType type = UTZFMT_TIME_TYPE_UNKNOWN;
        source->format->format(UTZFMT_STYLE_GENERIC_LONG, tz, date.udate(), result, &type);
        // A GMT text taken in daylight-saving time would not be the zone's generic offset.
        if (type == UTZFMT_TIME_TYPE_DAYLIGHT) {
            result.remove();
            source->format->formatOffsetLocalizedGMT(rawMillis, result, status);
        }
    } else {
        const icu::UnicodeString* canonical = canonicalId(*source, zone);
        if (!canonical)
            return {};
        const UTimeZoneNameType type =
            kind == NameKind::name ? (inDaylight ? UTZNM_LONG_DAYLIGHT : UTZNM_LONG_STANDARD)
                                   : (inDaylight ? UTZNM_SHORT_DAYLIGHT : UTZNM_SHORT_STANDARD);
        source->names->getDisplayName(*canonical, type, date.udate(), result);
        if (result.isEmpty()) {
            const int32_t offset = inDaylight ? rawMillis + dstMillis : rawMillis;
            if (kind == NameKind::name)
                source->format->formatOffsetLocalizedGMT(offset, result, status);
            else
                source->format->formatOffsetShortLocalizedGMT(offset, result, status);
        }
    }
    if (U_FAILURE(status))
        return {};
    return toUtf8(result);
}

// With no period to name, the name the zone has today.
std::string currentGenericName(const TimeZone& zone)
{
    icu::UnicodeString result;
    icuZone(zone).getDisplayName(false, icu::TimeZone::LONG_GENERIC, english(), result);
    return toUtf8(result);
}

}  // namespace

DateFormatter formatter(std::string_view pattern, const TimeZone& zone)
{
    return DateFormatter(std::string(pattern), zone, "en_US_POSIX");
}

std::string longDayLabel(Date date, const TimeZone& zone)
{
    return format("EEEE, MMMM d, yyyy", zone, date);
}

std::string dayLabel(Date date, const TimeZone& zone)
{
    return format("EEE, MMM d", zone, date);
}

std::string time(Date date, const TimeZone& zone, bool use24Hour, bool uppercaseMeridiem)
{
    if (const auto clock = wallClock(date, zone))
        return clockTime(*clock, use24Hour, uppercaseMeridiem);
    if (use24Hour)
        return format("HH:mm", zone, date);
    const std::string text = format("h:mma", zone, date);
    return uppercaseMeridiem ? AsciiText::uppered(text) : AsciiText::lowered(text);
}

std::string text(const Slot& slot, const TimeZone& zone, Date referenceDay,
                 const TimeZone& referenceZone, bool use24Hour, std::string_view dash,
                 bool uppercaseMeridiem)
{
    const auto start = wallClock(slot.start, zone);
    const auto end = wallClock(slot.end, zone);
    const auto reference = wallClock(referenceDay, referenceZone);
    if (start && end && reference) {
        const auto endpoint = [&](const WallClock& clock) {
            return Endpoint<std::int64_t>{.day = clock.day,
                                          .time = clockTime(clock, use24Hour, uppercaseMeridiem),
                                          .weekday = std::string(weekdayName(clock))};
        };
        return joinedRange(endpoint(*start), endpoint(*end), reference->day, dash);
    }
    const auto endpoint = [&](Date date) {
        return Endpoint<std::string>{.day = format(dayKeyPattern, zone, date),
                                     .time = time(date, zone, use24Hour, uppercaseMeridiem),
                                     .weekday = format("EEE", zone, date)};
    };
    return joinedRange(endpoint(slot.start), endpoint(slot.end),
                       format(dayKeyPattern, referenceZone, referenceDay), dash);
}

std::string zoneDescription(const TimeZone& zone, std::span<const Date> dates,
                            std::string_view fallback)
{
    const auto orFallback = [&](std::string name) {
        return name.empty() ? std::string(fallback) : name;
    };
    if (dates.empty())
        return orFallback(currentGenericName(zone));

    const Date first = dates.front();
    const bool inDaylight = zone.isDaylightSavingTime(first);
    for (const Date date : dates) {
        if (zone.isDaylightSavingTime(date) != inDaylight)
            return orFallback(zoneName(zone, NameKind::generic, false, first));
    }
    const std::string name = zoneName(zone, NameKind::name, inDaylight, first);
    if (name.empty())
        return std::string(fallback);
    const std::string abbreviation = zoneName(zone, NameKind::abbreviation, inDaylight, first);
    if (abbreviation.empty() || abbreviation == name)
        return name;
    return name + " (" + abbreviation + ")";
}

std::string rangeLabel(Date start, Date end, const TimeZone& zone)
{
    std::string result = format("MMM d", zone, start);
    if (isSameDay(start, zone, end, zone))
        return result;
    result += " \u2013 ";
    result += format(isSameMonth(start, end, zone) ? "d" : "MMM d", zone, end);
    return result;
}

}  // namespace nelvo::SlotFormatter
