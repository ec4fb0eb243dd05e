#include "kit/core/time_zone.h"

#include "kit/core/icu_zone.h"
#include "kit/core/zone_tab_data.h"

#include <unicode/putil.h>
#include <unicode/timezone.h>
#include <unicode/tztrans.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <mutex>
#include <set>
#include <unordered_map>
#include <vector>

namespace nelvo {

namespace {

// The IANA names of the zone table: ICU's own canonical names are older CLDR ones
// ("Asia/Calcutta"), so an alias is resolved to whichever equivalent name IANA lists.
const std::set<std::string, std::less<>>& ianaZoneNames()
{
    static const auto names = [] {
        std::set<std::string, std::less<>> result;
        std::string_view text = zoneTabText();
        while (!text.empty()) {
            const auto end = text.find('\n');
            std::string_view line = text.substr(0, end);
            text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
            if (line.empty() || line.front() == '#')
                continue;
            std::size_t field = 0;
            std::size_t start = 0;
            for (std::size_t i = 0; i <= line.size(); ++i) {
                if (i == line.size() || line[i] == '\t') {
                    if (field == 2)
                        result.emplace(line.substr(start, i - start));
                    ++field;
                    start = i + 1;
                }
            }
        }
        return result;
    }();
    return names;
}

std::optional<std::string> resolveId(std::string_view requested)
{
    if (requested.empty() || requested.size() > 200)
        return std::nullopt;
    const icu::UnicodeString id = fromUtf8(requested);
    icu::UnicodeString canonical;
    UBool isSystem = false;
    UErrorCode status = U_ZERO_ERROR;
    icu::TimeZone::getCanonicalID(id, canonical, isSystem, status);
    if (U_FAILURE(status) || !isSystem)
        return std::nullopt;
    const auto& iana = ianaZoneNames();
    if (iana.count(requested))
        return std::string(requested);
    const int32_t count = icu::TimeZone::countEquivalentIDs(canonical);
    for (int32_t i = 0; i < count; ++i) {
        const std::string candidate = toUtf8(icu::TimeZone::getEquivalentID(canonical, i));
        if (iana.count(candidate))
            return candidate;
    }
    return toUtf8(canonical);
}

std::shared_ptr<const TimeZone::Zone> makeZone(const std::string& id)
{
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(fromUtf8(id)));
    auto* basic = dynamic_cast<icu::BasicTimeZone*>(zone.get());
    if (!basic)
        return nullptr;
    zone.release();
    auto result = std::make_shared<TimeZone::Zone>();
    result->icu.reset(basic);
    return result;
}

struct Registry {
    std::mutex mutex;
    // Keyed by the requested text, so aliases are resolved once.
    std::unordered_map<std::string, std::pair<std::string, std::shared_ptr<const TimeZone::Zone>>>
        zones;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

}  // namespace

TimeZone::TimeZone(std::string id, std::shared_ptr<const Zone> zone)
    : m_id(std::move(id)), m_zone(std::move(zone))
{
}

std::optional<TimeZone> TimeZone::named(std::string_view ianaId)
{
    ensureZoneRules();
    auto& reg = registry();
    std::lock_guard lock(reg.mutex);
    const std::string key(ianaId);
    if (auto it = reg.zones.find(key); it != reg.zones.end()) {
        if (!it->second.second)
            return std::nullopt;
        return TimeZone(it->second.first, it->second.second);
    }
    std::shared_ptr<const Zone> zone;
    std::string id;
    if (auto resolved = resolveId(ianaId)) {
        id = *resolved;
        for (const auto& [_, entry] : reg.zones) {
            if (entry.first == id && entry.second) {
                zone = entry.second;
                break;
            }
        }
        if (!zone)
            zone = makeZone(id);
    }
    if (reg.zones.size() < 4096)  // bounded: ids can come from files
        reg.zones.emplace(key, std::make_pair(id, zone));
    if (!zone)
        return std::nullopt;
    return TimeZone(id, zone);
}

TimeZone TimeZone::system()
{
    ensureZoneRules();
    std::unique_ptr<icu::TimeZone> host(icu::TimeZone::detectHostTimeZone());
    if (host) {
        icu::UnicodeString id;
        host->getID(id);
        if (auto zone = named(toUtf8(id)))
            return *zone;
    }
    return utc();
}

TimeZone TimeZone::utc()
{
    static const TimeZone zone = *named("Etc/UTC");
    return zone;
}

std::optional<TimeZone> TimeZone::fromWindowsName(std::string_view windowsName)
{
    if (windowsName.empty() || windowsName.size() > 200)
        return std::nullopt;
    ensureZoneRules();
    icu::UnicodeString iana;
    UErrorCode status = U_ZERO_ERROR;
    icu::TimeZone::getIDForWindowsID(fromUtf8(windowsName), nullptr, iana, status);
    if (U_FAILURE(status) || iana.isEmpty())
        return std::nullopt;
    return named(toUtf8(iana));
}

OffsetSpan offsetSpan(const TimeZone& zone, Date date)
{
    const icu::BasicTimeZone& tz = icuZone(zone);
    const double millis = date.udate();
    const auto uncached = [&](double from, double to) {
        int32_t raw = 0, dst = 0;
        UErrorCode status = U_ZERO_ERROR;
        tz.getOffset(millis, false, raw, dst, status);
        if (U_FAILURE(status))
            raw = dst = 0;
        return OffsetSpan{from, to, (raw + dst) / 1000, dst != 0};
    };
    if (!std::isfinite(millis))
        return uncached(millis, millis);

    struct Entry {
        const TimeZone::Zone* key;
        TimeZone zone;  // keeps `key` alive
        OffsetSpan span;
    };
    thread_local std::vector<Entry> entries;
    thread_local std::size_t nextEvicted = 0;
    constexpr std::size_t maximumEntries = 16;

    auto entry = std::find_if(entries.begin(), entries.end(),
                              [&](const Entry& e) { return e.key == &zone.zone(); });
    if (entry != entries.end() && millis >= entry->span.fromMillis && millis < entry->span.toMillis)
        return entry->span;

    icu::TimeZoneTransition transition;
    const double infinity = std::numeric_limits<double>::infinity();
    const double from =
        tz.getPreviousTransition(millis, true, transition) ? transition.getTime() : -infinity;
    const double to =
        tz.getNextTransition(millis, false, transition) ? transition.getTime() : infinity;
    const Entry found{&zone.zone(), zone, uncached(from, to)};
    if (entry != entries.end())
        *entry = found;
    else if (entries.size() < maximumEntries)
        entries.push_back(found);
    else
        entries[nextEvicted++ % maximumEntries] = found;
    return found.span;
}

int TimeZone::offsetSeconds(Date date) const
{
    return offsetSpan(*this, date).seconds;
}

bool TimeZone::isDaylightSavingTime(Date date) const
{
    return offsetSpan(*this, date).isDaylight;
}

}  // namespace nelvo
