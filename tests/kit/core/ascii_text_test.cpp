#include "kit/core/ascii_text.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

TEST(AsciiText, CaseTrimmingAndQuoting)
{
    EXPECT_EQ(AsciiText::lowered("9:30AM Tz-BUSY"), "9:30am tz-busy");
    EXPECT_EQ(AsciiText::uppered("9:30am"), "9:30AM");
    // UTF-8 bytes are never letters here: "Ä" and "ß" pass through unchanged.
    EXPECT_EQ(AsciiText::lowered("\xC3\x84X"), "\xC3\x84x");
    EXPECT_EQ(AsciiText::uppered("a\xC3\x9F"), "A\xC3\x9F");
    EXPECT_TRUE(
        AsciiText::equalsIgnoringCase("X-MICROSOFT-CDO-BUSYSTATUS", "x-microsoft-cdo-busystatus"));
    EXPECT_FALSE(AsciiText::equalsIgnoringCase("BUSY", "BUSY "));
    EXPECT_FALSE(AsciiText::equalsIgnoringCase("\xC3\xA4", "\xC3\x84"));
    EXPECT_TRUE(AsciiText::startsWithIgnoringCase("Mailto:ana@example.org", "mailto:"));
    EXPECT_FALSE(AsciiText::startsWithIgnoringCase("mail", "mailto:"));
    EXPECT_TRUE(AsciiText::endsWithIgnoringCase("Work.ICS", ".ics"));
    EXPECT_FALSE(AsciiText::endsWithIgnoringCase("ics", ".ics"));
    EXPECT_EQ(AsciiText::trimmed(" \t BUSY \r"), "BUSY");
    EXPECT_EQ(AsciiText::trimmed("a b"), "a b");
    EXPECT_EQ(AsciiText::trimmed(" \t\r "), "");
    EXPECT_EQ(AsciiText::trimmed("\nx\n"), "\nx\n");
    EXPECT_EQ(AsciiText::quoted("a b.ics"), "\"a b.ics\"");
    EXPECT_EQ(AsciiText::quoted("say \"hi\""), "\"say \"hi\"\"");
}

}  // namespace
}  // namespace nelvo
