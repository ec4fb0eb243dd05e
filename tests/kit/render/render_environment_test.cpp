// Every output must read the same whatever the machine's language, locale or zone.

#include "kit/render/chat_renderer.h"
#include "kit/render/email_renderer.h"
#include "kit/render/html_renderer.h"
#include "kit/render/markdown_renderer.h"
#include "kit/render/rtf_renderer.h"
#include "kit/render/table_builder.h"

#include "kit/render/render_samples.h"
#include "support/golden.h"
#include "support/scoped_env.h"

#include <gtest/gtest.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <clocale>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace nelvo {
namespace {

// Sets the C library's and ICU's notion of the machine for its lifetime.
class MachineSettings {
public:
    MachineSettings(const char* locale, const char* zone)
        : m_lcAll("LC_ALL", locale), m_lang("LANG", locale), m_tz("TZ", zone),
          m_icuLocale(icu::Locale::getDefault()), m_icuZone(icu::TimeZone::createDefault())
    {
        tzset();
        std::setlocale(LC_ALL, locale);  // may be missing on the machine; ICU is set anyway
        UErrorCode status = U_ZERO_ERROR;
        const std::string language(locale, std::string_view(locale).find('.'));  // "de_DE"
        icu::Locale::setDefault(icu::Locale(language.c_str()), status);
        icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone(zone));
    }

    ~MachineSettings()
    {
        std::setlocale(LC_ALL, "C");
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(m_icuLocale, status);
        icu::TimeZone::adoptDefault(m_icuZone.release());
    }

private:
    // Gone last, once the variables below have their old values again.
    struct ZoneReset {
        ~ZoneReset() { tzset(); }
    } m_zoneReset;
    test::ScopedEnv m_lcAll, m_lang, m_tz;
    icu::Locale m_icuLocale;
    std::unique_ptr<icu::TimeZone> m_icuZone;
};

TEST(RenderEnvironment, OutputsIgnoreLocaleLanguageAndZone)
{
    for (const auto& [locale, zone] :
         {std::pair{"de_DE.UTF-8", "Asia/Kolkata"}, std::pair{"ja_JP.UTF-8", "America/New_York"}}) {
        SCOPED_TRACE(locale);
        const MachineSettings machine(locale, zone);
        const auto slots = test::typicalSlots();
        const auto options = test::typicalOptions();
        const auto table = TableBuilder::build(test::twoZoneSlots(), test::twoZoneOptions());

        EXPECT_GOLDEN("render/chat/typical_message.txt", ChatRenderer::render(slots, options));
        EXPECT_GOLDEN("render/html/typical_message.html", HTMLRenderer::render(slots, options));
        EXPECT_GOLDEN("render/rtf/typical_message.rtf", RTFRenderer::render(slots, options));
        EXPECT_GOLDEN("render/markdown/table_two_zones.md", MarkdownRenderer::render(table));
        EXPECT_GOLDEN("render/html/table_two_zones.html",
                      HTMLRenderer::renderTable(test::twoZoneSlots(), test::twoZoneOptions()));
        EXPECT_GOLDEN("render/email/card_two_zones.html", EmailRenderer::render(table));
        EXPECT_GOLDEN("render/rtf/table_two_zones.rtf",
                      RTFRenderer::renderTable(test::twoZoneSlots(), test::twoZoneOptions()));
        EXPECT_GOLDEN("render/markdown/typical_message.md",
                      MarkdownRenderer::render(slots, options));
        // Names of zones and weekdays, and the 24-hour clock, in the same environment; without
        // a heading the zone line is a block of its own.
        RenderOptions tokyo = options;
        tokyo.primary = test::zone("Asia/Tokyo");
        tokyo.use24Hour = true;
        tokyo.heading.reset();
        EXPECT_GOLDEN("render/chat/tokyo_24_hour.txt", ChatRenderer::render(slots, tokyo));
    }
}

}  // namespace
}  // namespace nelvo
