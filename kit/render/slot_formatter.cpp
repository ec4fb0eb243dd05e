#include "kit/render/slot_formatter.h"

#include "kit/core/icu_zone.h"

#include <unicode/tzfmt.h>
#include <unicode/tznames.h>

#include <memory>

namespace nelvo::SlotFormatter {

namespace {

constexpr std::string_view dayKeyPattern = "yyyy-MM-dd";
constexpr std::string_view monthKeyPattern = "yyyy-MM";

std::string format(std::string_view pattern, const TimeZone& zone, Date date)
{
    return formatter(pattern, zone).string(date);
}

// Case rules of the C library follow the machine's locale; these texts are ASCII.
void convertAsciiCase(std::string& text, bool upper)
{
    for (char& c : text) {
        if (upper && c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (!upper && c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
}

std::string weekdayMarker(Date date, const TimeZone& zone)
{
    return " (" + format("EEE", zone, date) + ")";
}

enum class NameKind { generic, name, abbreviation };

const icu::Locale& english()
{
    static const icu::Locale locale("en_US");
    return locale;
}

// What icu::TimeZone::getDisplayName gives (generic LONG_GENERIC, LONG, SHORT, with the same
// fallbacks to a GMT offset), except that the name is taken for `date` instead of for the
// moment of the call: zones change names over the years, and the output must not depend on
// the clock.
std::string zoneName(const TimeZone& zone, NameKind kind, bool inDaylight, Date date)
{
    const icu::BasicTimeZone& tz = icuZone(zone);
    UErrorCode status = U_ZERO_ERROR;
    int32_t rawMillis = 0;
    int32_t dstMillis = 0;
    tz.getOffset(date.udate(), false, rawMillis, dstMillis, status);
    if (U_FAILURE(status))
        return {};
    std::unique_ptr<icu::TimeZoneFormat> zoneFormat(
        icu::TimeZoneFormat::createInstance(english(), status));
    if (U_FAILURE(status))
        return {};
    icu::UnicodeString result;
    if (kind == NameKind::generic) {
        UTimeZoneFormatTimeType type = UTZFMT_TIME_TYPE_UNKNOWN;
        zoneFormat->format(UTZFMT_STYLE_GENERIC_LONG, tz, date.udate(), result, &type);
        // A GMT text taken in daylight-saving time would not be the zone's generic offset.
        if (type == UTZFMT_TIME_TYPE_DAYLIGHT) {
            result.remove();
            zoneFormat->formatOffsetLocalizedGMT(rawMillis, result, status);
        }
    } else {
        std::unique_ptr<icu::TimeZoneNames> names(
            icu::TimeZoneNames::createInstance(english(), status));
        icu::UnicodeString id;
        icu::UnicodeString canonical;
        tz.getID(id);
        icu::TimeZone::getCanonicalID(id, canonical, status);
        if (U_FAILURE(status))
            return {};
        const UTimeZoneNameType type =
            kind == NameKind::name ? (inDaylight ? UTZNM_LONG_DAYLIGHT : UTZNM_LONG_STANDARD)
                                   : (inDaylight ? UTZNM_SHORT_DAYLIGHT : UTZNM_SHORT_STANDARD);
        names->getDisplayName(canonical, type, date.udate(), result);
        if (result.isEmpty()) {
            const int32_t offset = inDaylight ? rawMillis + dstMillis : rawMillis;
            if (kind == NameKind::name)
                zoneFormat->formatOffsetLocalizedGMT(offset, result, status);
            else
                zoneFormat->formatOffsetShortLocalizedGMT(offset, result, status);
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
    if (use24Hour)
        return format("HH:mm", zone, date);
    std::string text = format("h:mma", zone, date);
    convertAsciiCase(text, uppercaseMeridiem);
    return text;
}

std::string text(const Slot& slot, const TimeZone& zone, Date referenceDay,
                 const TimeZone& referenceZone, bool use24Hour, std::string_view dash,
                 bool uppercaseMeridiem)
{
    const std::string referenceKey = format(dayKeyPattern, referenceZone, referenceDay);
    const std::string startKey = format(dayKeyPattern, zone, slot.start);
    const std::string endKey = format(dayKeyPattern, zone, slot.end);

    std::string result = time(slot.start, zone, use24Hour, uppercaseMeridiem);
    const std::string endText = time(slot.end, zone, use24Hour, uppercaseMeridiem);
    if (startKey == endKey) {
        result += dash;
        result += endText;
        if (startKey != referenceKey)
            result += weekdayMarker(slot.end, zone);
        return result;
    }
    if (startKey != referenceKey)
        result += weekdayMarker(slot.start, zone);
    result += dash;
    result += endText;
    if (endKey != referenceKey)
        result += weekdayMarker(slot.end, zone);
    return result;
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
    if (format(dayKeyPattern, zone, start) == format(dayKeyPattern, zone, end))
        return result;
    const bool sameMonth = format(monthKeyPattern, zone, start) == format(monthKeyPattern, zone, end);
    result += " \u2013 ";
    result += format(sameMonth ? "d" : "MMM d", zone, end);
    return result;
}

}  // namespace nelvo::SlotFormatter
