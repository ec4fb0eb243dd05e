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

TEST(ZoneCatalog, ParsesZoneTableLines)
{
    const auto rows = ZoneCatalog::parseZoneTab(
        "# comment\tXX\t+0\tComment/Zone\n"
        "CH\t+4723+00832\tEurope/Zurich\n"          // three columns: no note
        "US\t+404251-0740023\tAmerica/New_York\tEastern (most areas)\n"
        "ZZ\tMissing/Zone\n"                        // two columns: ignored
        "\n"
        "DE\t+5230+01322\tEurope/Zurich\tlater\n"   // a later line replaces an earlier one
        "FR\t\tEurope/Paris\t\n");                  // empty columns are kept
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows.at("Europe/Zurich"), (ZoneCatalog::Row{"DE", "later"}));
    EXPECT_EQ(rows.at("America/New_York"), (ZoneCatalog::Row{"US", "Eastern (most areas)"}));
    EXPECT_EQ(rows.at("Europe/Paris"), (ZoneCatalog::Row{"FR", ""}));
    EXPECT_FALSE(rows.contains("Comment/Zone"));
    // No table at all gives no rows.
    EXPECT_TRUE(ZoneCatalog::parseZoneTab("").empty());
}

TEST(ZoneCatalog, BundledTableHasOneCountryPerLine)
{
    const auto rows = ZoneCatalog::parseZoneTab(ZoneCatalog::bundledZoneTab());
    EXPECT_GT(rows.size(), 350u);
    EXPECT_EQ(rows.at("Europe/Zurich").countryCode, "CH");
    EXPECT_EQ(rows.at("Asia/Kolkata").countryCode, "IN");
}

TEST(ZoneCatalog, BuildsEntriesAndSkipsUnknownZones)
{
    const std::string table = "CH\t+4723+00832\tEurope/Zurich\n"
                              "YY\t+0000+00000\tAsia/Tokyo\tunknown code\n";
    const ZoneCatalog catalog({"Europe/Zurich", "Mars/Base", "Asia/Tokyo", "Etc/GMT-5"}, table, "en_US");
    // The unknown identifier is left out; the rest keep their order.
    EXPECT_EQ(ids(catalog.entries()), (std::vector<std::string>{"Europe/Zurich", "Asia/Tokyo", "Etc/GMT-5"}));
    const auto& zurich = catalog.entries()[0];
    EXPECT_EQ(zurich.name, "Zurich");
    EXPECT_EQ(zurich.country, "Switzerland");
    // The search text holds the identifier, name, country and the generic zone name.
    EXPECT_NE(zurich.haystack.find("europe/zurich"), std::string::npos);
    EXPECT_NE(zurich.haystack.find("switzerland"), std::string::npos);
    EXPECT_NE(zurich.haystack.find("central european time"), std::string::npos);
    // A code the locale cannot name gives no country; the note is still searchable.
    EXPECT_EQ(catalog.entries()[1].country, std::nullopt);
    EXPECT_NE(catalog.entries()[1].haystack.find("unknown code"), std::string::npos);
    // A zone missing from the table has no country.
    EXPECT_EQ(catalog.entries()[2].name, "GMT+5");
    EXPECT_EQ(catalog.entries()[2].country, std::nullopt);
}

TEST(ZoneCatalog, NormalizingFoldsCaseAccentsAndUnderscores)
{
    EXPECT_EQ(ZoneCatalog::normalized("Zürich"), "zurich");
    EXPECT_EQ(ZoneCatalog::normalized("ZURICH"), "zurich");
    EXPECT_EQ(ZoneCatalog::normalized("América/São_Paulo"), "america/sao paulo");
    // German sharp s folds to "ss", whatever the machine's locale.
    EXPECT_EQ(ZoneCatalog::normalized("STRAẞE"), "strasse");
}

TEST(ZoneCatalog, SearchOrdersNameMatchesFirst)
{
    const ZoneCatalog catalog = ZoneCatalog::system("en_US");
    // Only spaces: every entry, in catalog order.
    EXPECT_EQ(catalog.search("  \t ").size(), catalog.entries().size());
    EXPECT_EQ(catalog.search(" "), catalog.entries());

    // "lon": names starting with it first (London), then matches elsewhere, catalog order in each.
    const auto lon = catalog.search("lon");
    ASSERT_FALSE(lon.empty());
    const auto firstElsewhere = std::find_if(lon.begin(), lon.end(), [](const auto& e) {
        return !ZoneCatalog::normalized(e.name).starts_with("lon");
    });
    EXPECT_NE(std::find_if(lon.begin(), firstElsewhere, [](const auto& e) { return e.id == "Europe/London"; }),
              firstElsewhere);
    EXPECT_TRUE(std::none_of(firstElsewhere, lon.end(), [](const auto& e) {
        return ZoneCatalog::normalized(e.name).starts_with("lon");
    }));
    EXPECT_NE(firstElsewhere, lon.end());
    EXPECT_TRUE(std::is_sorted(lon.begin(), firstElsewhere, [](const auto& a, const auto& b) { return a.id < b.id; }));
    EXPECT_TRUE(std::is_sorted(firstElsewhere, lon.end(), [](const auto& a, const auto& b) { return a.id < b.id; }));

    // Accents and case do not matter.
    for (const char* query : {"zürich", "Zurich", "ZURICH", " zurich\t"}) {
        const auto found = ids(catalog.search(query));
        EXPECT_NE(std::find(found.begin(), found.end(), "Europe/Zurich"), found.end()) << query;
    }
    // "new york" finds America/New_York through its identifier: its name is Eastern Time.
    const auto newYork = catalog.search("new york");
    ASSERT_FALSE(newYork.empty());
    EXPECT_EQ(newYork.front().id, "America/New_York");
    EXPECT_EQ(newYork.front().name, "Eastern Time");
    // Nothing matches nonsense.
    EXPECT_TRUE(catalog.search("qqqxqq").empty());
}

TEST(ZoneCatalog, SystemCatalogUsesIanaNames)
{
    const ZoneCatalog catalog = ZoneCatalog::system("en_US");
    const auto all = ids(catalog.entries());
    // ICU's older names appear under IANA's: Kolkata, not Calcutta.
    EXPECT_NE(std::find(all.begin(), all.end(), "Asia/Kolkata"), all.end());
    EXPECT_EQ(std::find(all.begin(), all.end(), "Asia/Calcutta"), all.end());
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end()));
    EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end());
    // Country names come from the bundled table in English, whatever the machine's locale.
    const auto kolkata = std::find_if(catalog.entries().begin(), catalog.entries().end(),
                                      [](const auto& e) { return e.id == "Asia/Kolkata"; });
    EXPECT_EQ(kolkata->country, "India");
}

}  // namespace
}  // namespace nelvo
