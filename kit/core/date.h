#pragma once

#include <compare>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace nelvo {

// An absolute instant: seconds since 2001-01-01 00:00:00 UTC, as a double.
struct Date {
    // Seconds from 1970-01-01 to 2001-01-01.
    static constexpr double unixOffsetSeconds = 978307200.0;

    double seconds = 0;

    static constexpr Date fromUnixSeconds(double unix) { return Date{unix - unixOffsetSeconds}; }
    constexpr double unixSeconds() const { return seconds + unixOffsetSeconds; }
    // ICU's UDate: milliseconds since 1970.
    static constexpr Date fromUDate(double millis) { return fromUnixSeconds(millis / 1000.0); }
    constexpr double udate() const { return unixSeconds() * 1000.0; }

    constexpr Date addingSeconds(double delta) const { return Date{seconds + delta}; }

    // "2025-03-07T17:00:00Z": UTC, whole seconds (a fraction is dropped toward the past).
    std::string iso8601() const;
    // ISO-8601 instants with "Z" or an offset ("+05:30", "+0530", "-08"); an optional
    // fraction of a second. Empty for anything else, including impossible dates.
    static std::optional<Date> fromIso8601(std::string_view text);

    constexpr auto operator<=>(const Date&) const = default;
};

// Seconds from b to a.
constexpr double operator-(Date a, Date b)
{
    return a.seconds - b.seconds;
}

// Combines hashes the way boost does; used by the records' hash specialisations.
inline void hashCombine(std::size_t& seed, std::size_t value)
{
    seed ^= value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

}  // namespace nelvo

template <>
struct std::hash<nelvo::Date> {
    std::size_t operator()(const nelvo::Date& d) const noexcept
    {
        return std::hash<double>{}(d.seconds);
    }
};
