#include "cli/terminal_text.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

TEST(TerminalText, ControlsBecomeQuestionMarksAndLongTextIsCut)
{
    // Escape sequences that would clear the screen or retitle the window.
    EXPECT_EQ(TerminalText::safe("Europe/\x1b[2JBerlin"), "Europe/?[2JBerlin");
    EXPECT_EQ(TerminalText::safe("a\x1b]0;owned\x07z"), "a?]0;owned?z");
    EXPECT_EQ(TerminalText::safe("line\nbreak\r\ttab\x7f"), "line?break??tab?");
    // C1 controls (U+009B is a one-byte CSI to some terminals) and broken UTF-8.
    EXPECT_EQ(TerminalText::safe("x\xC2\x9B"
                                 "2Jy"),
              "x?2Jy");
    EXPECT_EQ(TerminalText::safe("bad\xff\xC3"), "bad??");
    // Other text stays as it is.
    EXPECT_EQ(TerminalText::safe("Zürich – 東京 🙂"), "Zürich – 東京 🙂");
    // Cut at a character boundary, never inside one.
    EXPECT_EQ(TerminalText::safe("ab€cd", 4), "ab…");
    EXPECT_EQ(TerminalText::safe("abcd", 4), "abcd");
    EXPECT_EQ(TerminalText::safe(std::string(10'000'000, 'x')).size(),
              TerminalText::maxBytes + std::string("…").size());
    EXPECT_EQ(TerminalText::quoted("a\nb"), "\"a?b\"");
}

}  // namespace
}  // namespace nelvo
