#include "kit/core/date_formatter.h"

#include "kit/core/icu_zone.h"

#include <unicode/gregocal.h>
#include <unicode/smpdtfmt.h>

#include <map>
#include <tuple>

namespace nelvo {

struct DateFormatter::Impl {
    std::unique_ptr<icu::SimpleDateFormat> format;

    UDate lenientParse(const icu::UnicodeString& input, icu::ParsePosition& position)
    {
        format->setLenient(true);
        const UDate parsed = format->parse(input, position);
        format->setLenient(false);
        return parsed;
    }
};

DateFormatter::DateFormatter(std::string pattern, TimeZone zone, std::string locale)
    : m_pattern(std::move(pattern)), m_zone(std::move(zone)), m_impl(std::make_unique<Impl>())
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale icuLocale(locale.c_str());
    auto format = std::make_unique<icu::SimpleDateFormat>(fromUtf8(m_pattern), icuLocale, status);
    if (U_FAILURE(status))
        return;
    auto* calendar = new icu::GregorianCalendar(icuZone(m_zone), icuLocale, status);
    if (U_FAILURE(status)) {
        delete calendar;
        return;
    }
    // Midnight-to-midnight rules only: no Julian days before 1582.
    calendar->setGregorianChange(-8.64e15, status);
    format->adoptCalendar(calendar);
    format->setLenient(false);
    m_impl->format = std::move(format);
}

DateFormatter::~DateFormatter() = default;
DateFormatter::DateFormatter(DateFormatter&&) noexcept = default;
DateFormatter& DateFormatter::operator=(DateFormatter&&) noexcept = default;

const DateFormatter& DateFormatter::cached(std::string_view pattern, const TimeZone& zone,
                                           std::string_view locale)
{
    thread_local std::map<std::tuple<std::string, std::string, std::string>, DateFormatter,
                          std::less<>>
        cache;
    auto key = std::make_tuple(std::string(pattern), zone.id(), std::string(locale));
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.emplace(key, DateFormatter(std::string(pattern), zone, std::string(locale)))
                 .first;
    return it->second;
}

std::string DateFormatter::string(Date date) const
{
    if (!m_impl->format)
        return {};
    icu::UnicodeString out;
    m_impl->format->format(date.udate(), out);
    return toUtf8(out);
}

std::optional<Date> DateFormatter::date(std::string_view text) const
{
    if (!m_impl->format || text.empty())
        return std::nullopt;
    // Lenient parsing resolves a wall time the zone skipped (a day whose midnight does not
    // exist); strictness comes from the round trip: only text that formats back the same.
    const icu::UnicodeString input = fromUtf8(text);
    icu::ParsePosition position(0);
    const UDate parsed = m_impl->lenientParse(input, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != input.length())
        return std::nullopt;
    const Date date = Date::fromUDate(parsed);
    if (string(date) != text)
        return std::nullopt;
    return date;
}

}  // namespace nelvo
