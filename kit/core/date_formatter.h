#pragma once

#include "kit/core/date.h"
#include "kit/core/time_zone.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace nelvo {

// Formats and parses instants with an ICU date pattern ("yyyy-MM-dd", "EEE, MMM d",
// "h:mma") in one zone, Gregorian, with a fixed locale so that output never follows the
// machine's language.
class DateFormatter {
public:
    DateFormatter(std::string pattern, TimeZone zone, std::string locale = "en_US_POSIX");
    ~DateFormatter();
    DateFormatter(DateFormatter&&) noexcept;
    DateFormatter& operator=(DateFormatter&&) noexcept;

    // Formatters cost far more to build than to use: one shared instance per
    // (pattern, zone, locale), per thread.
    static const DateFormatter& cached(std::string_view pattern, const TimeZone& zone,
                                       std::string_view locale = "en_US_POSIX");

    const std::string& pattern() const { return m_pattern; }
    const TimeZone& zone() const { return m_zone; }

    std::string string(Date date) const;
    // Strict: the whole text must match the pattern and name a real date; empty otherwise.
    std::optional<Date> date(std::string_view text) const;

private:
    struct Impl;
    std::string m_pattern;
    TimeZone m_zone;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace nelvo
