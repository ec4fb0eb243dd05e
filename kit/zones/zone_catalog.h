#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nelvo {

// Every zone the user can add a ruler for, with a prepared search text.
class ZoneCatalog {
public:
    struct Entry {
        std::string id;
        std::string name;                    // ZoneDisplayName::name without a label
        std::optional<std::string> country;  // in the catalog's locale
        std::string haystack;                // normalized search text

        bool operator==(const Entry&) const = default;
    };

    // One data line of a zone table.
    struct Row {
        std::string countryCode;
        std::optional<std::string> note;

        bool operator==(const Row&) const = default;
    };

    // Identifiers that do not name a zone are left out; the rest keep their order.
    // `locale` ("en_US") names countries and zones.
    ZoneCatalog(const std::vector<std::string>& identifiers,
                std::optional<std::string_view> zoneTab, std::string_view locale);

    // Every zone the zone database knows, under its IANA name, in identifier order,
    // with the bundled zone table.
    static ZoneCatalog system(std::string_view locale = "en_US");

    // The bundled zone.tab of the IANA time zone database.
    static std::string_view bundledZoneTab();

    // Zone identifier → row. Comment lines and lines of fewer than three tab-separated
    // columns are skipped; a later line for an identifier replaces an earlier one.
    static std::map<std::string, Row, std::less<>> parseZoneTab(std::string_view text);

    // "_" as a space, case and accents folded: "Zürich" and "ZURICH" both give "zurich".
    static std::string normalized(std::string_view text);

    const std::vector<Entry>& entries() const { return m_entries; }

    // Every entry for a query of only spaces; otherwise the entries whose search text
    // contains the query, those whose name starts with it first, catalog order within.
    std::vector<Entry> search(std::string_view query) const;

private:
    std::vector<Entry> m_entries;
    std::vector<std::string> m_normalizedNames;  // parallel to m_entries
};

}  // namespace nelvo

template <>
struct std::hash<nelvo::ZoneCatalog::Entry> {
    std::size_t operator()(const nelvo::ZoneCatalog::Entry& e) const noexcept;
};
