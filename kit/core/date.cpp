#include "kit/core/date.h"

#include "kit/core/civil.h"

#include <cmath>
#include <cstdio>

namespace nelvo {

namespace {

// Beyond this the text form would need more than four year digits.
constexpr double maxUnixSeconds = 253402300799.0;  // 9999-12-31T23:59:59Z
constexpr double minUnixSeconds = -62135596800.0;  // 0001-01-01T00:00:00Z

bool readDigits(std::string_view text, std::size_t& pos, int count, int& out)
{
    if (pos + count > text.size())
        return false;
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const char c = text[pos + i];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    pos += count;
    out = value;
    return true;
}

bool expect(std::string_view text, std::size_t& pos, char c)
{
    if (pos < text.size() && text[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

}  // namespace

std::string Date::iso8601() const
{
    double unix = std::floor(unixSeconds());
    if (!std::isfinite(unix))
        unix = 0;
    unix = std::fmax(minUnixSeconds, std::fmin(maxUnixSeconds, unix));
    const auto whole = static_cast<std::int64_t>(unix);
    const std::int64_t days = Civil::floorDiv(whole, 86400);
    const std::int64_t secondOfDay = whole - days * 86400;
    const auto ymd = Civil::civilFromDays(days);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04lld-%02d-%02dT%02d:%02d:%02dZ",
                  static_cast<long long>(ymd.year), ymd.month, ymd.day,
                  static_cast<int>(secondOfDay / 3600), static_cast<int>(secondOfDay / 60 % 60),
                  static_cast<int>(secondOfDay % 60));
    return buffer;
}

std::optional<Date> Date::fromIso8601(std::string_view text)
{
    std::size_t pos = 0;
    int year, month, day, hour, minute, second = 0;
    if (!readDigits(text, pos, 4, year) || !expect(text, pos, '-') ||
        !readDigits(text, pos, 2, month) || !expect(text, pos, '-') ||
        !readDigits(text, pos, 2, day) || !(expect(text, pos, 'T') || expect(text, pos, 't')) ||
        !readDigits(text, pos, 2, hour) || !expect(text, pos, ':') ||
        !readDigits(text, pos, 2, minute))
        return std::nullopt;
    if (expect(text, pos, ':') && !readDigits(text, pos, 2, second))
        return std::nullopt;
    double fraction = 0;
    if (expect(text, pos, '.') || expect(text, pos, ',')) {
        double scale = 0.1;
        const std::size_t start = pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            fraction += (text[pos] - '0') * scale;
            scale /= 10;
            ++pos;
        }
        if (pos == start)
            return std::nullopt;
    }
    if (!Civil::isValidDate(year, month, day) || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;

    int offsetSeconds = 0;
    if (expect(text, pos, 'Z') || expect(text, pos, 'z')) {
        // UTC
    } else if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        const int sign = text[pos] == '-' ? -1 : 1;
        ++pos;
        int offsetHours, offsetMinutes = 0;
        if (!readDigits(text, pos, 2, offsetHours))
            return std::nullopt;
        if (expect(text, pos, ':')) {
            if (!readDigits(text, pos, 2, offsetMinutes))
                return std::nullopt;
        } else if (pos < text.size() && !readDigits(text, pos, 2, offsetMinutes)) {
            return std::nullopt;
        }
        if (offsetHours > 23 || offsetMinutes > 59)
            return std::nullopt;
        offsetSeconds = sign * (offsetHours * 3600 + offsetMinutes * 60);
    } else {
        return std::nullopt;  // a local time without a zone is not an instant
    }
    if (pos != text.size())
        return std::nullopt;

    const std::int64_t days = Civil::daysFromCivil(year, month, day);
    const double unix = static_cast<double>(days * 86400 + hour * 3600 + minute * 60 + second) +
                        fraction - offsetSeconds;
    return fromUnixSeconds(unix);
}

}  // namespace nelvo
