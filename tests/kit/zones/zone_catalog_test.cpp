#include "kit/zones/zone_catalog.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace nelvo {
namespace {

std::vector<std::string> ids(const std::vector<ZoneCatalog::Entry>& entries)
{
    std::vector<std::string> result;
    for (const auto& entry : entries)
        result.push_back(entry.id);
    return result;
}

TEST(ZoneCatalog, ZoneTableLinesAndSearch)
{
    const auto rows = ZoneCatalog::parseZoneTab("# comment\tXX\tComment/Zone\n"
                                                "CH\t+4723+00832\tEurope/Zurich\n"
                                                "ZZ\tMissing/Zone\n"
                                                "\n"
                                                "DE\t+5230+01322\tEurope/Zurich\tlater\n");
    // A comment and a two-column line are skipped; a later line replaces an earlier one.
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows.at("Europe/Zurich"), (ZoneCatalog::Row{"DE", "later"}));
    // Three columns: no note.
    EXPECT_EQ(ZoneCatalog::parseZoneTab("CH\t+4723+00832\tEurope/Zurich").at("Europe/Zurich").note,
              std::nullopt);

    // Entries skip unknown zones and carry the country and the search text.
    const ZoneCatalog catalog({"Europe/Zurich", "Mars/Base", "Asia/Tokyo"},
                              "CH\t+4723+00832\tEurope/Zurich\nYY\t+0\tAsia/Tokyo\tunknown code\n",
                              "en_US");
    EXPECT_EQ(ids(catalog.entries()), (std::vector<std::string>{"Europe/Zurich", "Asia/Tokyo"}));
    const auto& zurich = catalog.entries()[0];
    EXPECT_EQ(zurich.country, "Switzerland");
    // Identifier, name, country and the generic zone name, normalized.
    EXPECT_EQ(zurich.haystack, "europe/zurich zurich switzerland central european time ");
    // A code without a name gives no country; the note is still searched.
    EXPECT_EQ(catalog.entries()[1].country, std::nullopt);
    EXPECT_EQ(catalog.search("unknown code").size(), 1u);
    // The system catalog.
    const ZoneCatalog system = ZoneCatalog::system("en_US");
    const auto all = ids(system.entries());
    // IANA names, sorted, once each: Kolkata, not ICU's Calcutta.
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end()) &&
                std::adjacent_find(all.begin(), all.end()) == all.end());
    EXPECT_TRUE(std::binary_search(all.begin(), all.end(), "Asia/Kolkata"));
    EXPECT_EQ(system.search("calcutta").size(), 0u);
    // Only spaces: everything in catalog order.
    EXPECT_EQ(system.search(" \t "), system.entries());
    // "lon": names starting with it (London) first, then the other matches; catalog order in each.
    const auto lon = system.search("lon");
    const auto split = std::partition_point(lon.begin(), lon.end(), [](const auto& e) {
        return ZoneCatalog::normalized(e.name).starts_with("lon");
    });
    EXPECT_TRUE(
        std::any_of(lon.begin(), split, [](const auto& e) { return e.id == "Europe/London"; }));
    EXPECT_TRUE(split != lon.end() && std::none_of(split, lon.end(), [](const auto& e) {
                    return ZoneCatalog::normalized(e.name).starts_with("lon");
                }));
    const auto byId = [](const auto& a, const auto& b) { return a.id < b.id; };
    EXPECT_TRUE(std::is_sorted(lon.begin(), split, byId) && std::is_sorted(split, lon.end(), byId));
    // Case and accents do not matter, in the query or the data.
    for (const char* query : {"zürich", "Zurich", "ZURICH", " zurich\t"})
        EXPECT_EQ(system.search(query).front().id, "Europe/Zurich") << query;
    EXPECT_EQ(ZoneCatalog::normalized("América/São_Paulo STRAẞE"), "america/sao paulo strasse");
    // Eastern Time is found through its identifier.
    EXPECT_EQ(system.search("new york").front().id, "America/New_York");
}

}  // namespace
}  // namespace nelvo
