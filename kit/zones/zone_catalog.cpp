#include "kit/zones/zone_catalog.h"

#include "kit/core/horizontal_space.h"
#include "kit/core/icu_zone.h"
#include "kit/core/zone_display_name.h"
#include "kit/core/zone_tab_data.h"

#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/strenum.h>
#include <unicode/timezone.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <memory>
#include <set>

namespace nelvo {

namespace {

std::vector<std::string_view> split(std::string_view text, char separator, bool keepEmpty)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(separator, start), text.size());
        if (keepEmpty || end > start)
            parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::optional<std::string> countryName(const std::string& code, const icu::Locale& locale)
{
    icu::UnicodeString name;
    icu::Locale("", code.c_str()).getDisplayCountry(locale, name);
    std::string text = toUtf8(name);
    // ICU falls back to the code itself when the locale has no name for it.
    if (text.empty() || text == code)
        return std::nullopt;
    return text;
}

std::string genericName(const TimeZone& zone, const icu::Locale& locale)
{
    icu::UnicodeString name;
    icuZone(zone).getDisplayName(false, icu::TimeZone::LONG_GENERIC, locale, name);
    return toUtf8(name);
}

}  // namespace

std::string_view ZoneCatalog::bundledZoneTab()
{
    return zoneTabText();
}

std::map<std::string, ZoneCatalog::Row, std::less<>>
ZoneCatalog::parseZoneTab(std::string_view text)
{
    std::map<std::string, Row, std::less<>> rows;
    for (std::string_view line : split(text, '\n', false)) {
        if (line.starts_with('#'))
            continue;
        const auto columns = split(line, '\t', true);
        if (columns.size() < 3)
            continue;
        Row row{std::string(columns[0]), std::nullopt};
        if (columns.size() > 3)
            row.note = std::string(columns[3]);
        rows.insert_or_assign(std::string(columns[2]), std::move(row));
    }
    return rows;
}

std::string ZoneCatalog::normalized(std::string_view text)
{
    std::string underscored(text);
    std::replace(underscored.begin(), underscored.end(), '_', ' ');
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    icu::UnicodeString decomposed;
    if (U_SUCCESS(status))
        decomposed = nfd->normalize(fromUtf8(underscored), status);
    if (U_FAILURE(status))
        decomposed = fromUtf8(underscored);
    // Accents are the combining marks left over after decomposition.
    icu::UnicodeString bare;
    for (int32_t i = 0; i < decomposed.length();) {
        const UChar32 c = decomposed.char32At(i);
        if (u_charType(c) != U_NON_SPACING_MARK)
            bare.append(c);
        i += U16_LENGTH(c);
    }
    bare.foldCase();
    bare.toLower(icu::Locale::getRoot());
    return toUtf8(bare);
}

ZoneCatalog::ZoneCatalog(const std::vector<std::string>& identifiers,
                         std::optional<std::string_view> zoneTab, std::string_view locale)
{
    const auto rows = zoneTab ? parseZoneTab(*zoneTab) : std::map<std::string, Row, std::less<>>{};
    const icu::Locale icuLocale(std::string(locale).c_str());
    for (const std::string& id : identifiers) {
        const auto zone = TimeZone::named(id);
        if (!zone)
            continue;
        Entry entry{id, ZoneDisplayName::name(*zone), std::nullopt, {}};
        std::string note;
        if (const auto row = rows.find(id); row != rows.end()) {
            entry.country = countryName(row->second.countryCode, icuLocale);
            note = row->second.note.value_or("");
        }
        entry.haystack = normalized(id + " " + entry.name + " " + entry.country.value_or("") + " " +
                                    genericName(*zone, icuLocale) + " " + note);
        m_normalizedNames.push_back(normalized(entry.name));
        m_entries.push_back(std::move(entry));
    }
}

ZoneCatalog ZoneCatalog::system(std::string_view locale)
{
    // ICU lists its own canonical names ("Asia/Calcutta"); the catalog shows IANA's.
    std::set<std::string> ids;
    ensureZoneRules();
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::StringEnumeration> all(icu::TimeZone::createTimeZoneIDEnumeration(
        UCAL_ZONE_TYPE_CANONICAL, nullptr, nullptr, status));
    if (U_SUCCESS(status) && all) {
        while (const icu::UnicodeString* id = all->snext(status)) {
            if (U_FAILURE(status))
                break;
            if (const auto zone = TimeZone::named(toUtf8(*id)))
                ids.insert(zone->id());
        }
    }
    return ZoneCatalog({ids.begin(), ids.end()}, bundledZoneTab(), locale);
}

std::vector<ZoneCatalog::Entry> ZoneCatalog::search(std::string_view query) const
{
    const std::string q = normalized(HorizontalSpace::trimmed(query));
    if (q.empty())
        return m_entries;
    std::vector<Entry> byName;
    std::vector<Entry> elsewhere;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].haystack.find(q) == std::string::npos)
            continue;
        (m_normalizedNames[i].starts_with(q) ? byName : elsewhere).push_back(m_entries[i]);
    }
    byName.insert(byName.end(), elsewhere.begin(), elsewhere.end());
    return byName;
}

}  // namespace nelvo

std::size_t
std::hash<nelvo::ZoneCatalog::Entry>::operator()(const nelvo::ZoneCatalog::Entry& e) const noexcept
{
    std::size_t seed = std::hash<std::string>{}(e.id);
    nelvo::hashCombine(seed, std::hash<std::string>{}(e.name));
    nelvo::hashCombine(seed, std::hash<std::optional<std::string>>{}(e.country));
    nelvo::hashCombine(seed, std::hash<std::string>{}(e.haystack));
    return seed;
}
