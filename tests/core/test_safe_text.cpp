// Untrusted text for terminals: what text::terminalSafe keeps and what it
// shows as U+FFFD, and the SVG writer's share of the same rule.
#include <gtest/gtest.h>

#include <string>

#include "core/charts/SvgText.h"
#include "core/text/SafeText.h"

using namespace vantrel;

namespace {

const std::string fffd = "\xEF\xBF\xBD";

TEST(SafeText, EscapeSequencesControlsAndBidiOverridesShowAsTheReplacementCharacter)
{
    using text::Layout;
    for (const Layout layout : {Layout::Line, Layout::Lines}) {
        // Title and clear screen, clipboard, colours: only the ESC, BEL are taken.
        EXPECT_EQ(text::terminalSafe("\x1B]2;PWN\x07\x1B[2J", layout), fffd + "]2;PWN" + fffd + fffd + "[2J");
        EXPECT_EQ(text::terminalSafe("\x1B]52;c;cHdu\x1B\\", layout), fffd + "]52;c;cHdu" + fffd + "\\");
        EXPECT_EQ(text::terminalSafe("\x1B[31mRED\x1B[0m.plt", layout), fffd + "[31mRED" + fffd + "[0m.plt");
        // NUL, backspace, DEL; C1 controls (U+009B is CSI, U+009D OSC); the
        // end of C1 and the characters after it are kept.
        EXPECT_EQ(text::terminalSafe(std::string("a\0b\x08\x7F", 5), layout), "a" + fffd + "b" + fffd + fffd);
        EXPECT_EQ(text::terminalSafe("\xC2\x9B"
                                     "2J\xC2\x9D\xC2\x80\xC2\x9F\xC2\xA0\xC3\xA9",
                                     layout),
                  fffd + "2J" + fffd + fffd + fffd + "\xC2\xA0\xC3\xA9");
        // Bidi embeddings and overrides U+202A-U+202E, isolates U+2066-U+2069;
        // their neighbours U+2029, U+202F, U+2065 and U+206A are no controls here.
        EXPECT_EQ(text::terminalSafe("evil\xE2\x80\xAEtxt.plt", layout), "evil" + fffd + "txt.plt");
        EXPECT_EQ(text::terminalSafe("\xE2\x80\xAA\xE2\x80\xAD\xE2\x81\xA6\xE2\x81\xA9", layout),
                  fffd + fffd + fffd + fffd);
        EXPECT_EQ(text::terminalSafe("\xE2\x80\xA9\xE2\x80\xAF\xE2\x81\xA5\xE2\x81\xAA", layout),
                  "\xE2\x80\xA9\xE2\x80\xAF\xE2\x81\xA5\xE2\x81\xAA");
        // Bytes that are no UTF-8: each one, also those of a cut or overlong
        // C1 control, which must not pass as the control it spells.
        EXPECT_EQ(text::terminalSafe("caf\xE9 \xC0\x9B \xE2\x82", layout),
                  "caf" + fffd + " " + fffd + fffd + " " + fffd + fffd);
        EXPECT_EQ(text::terminalSafe("Jan Ors\t\xF0\x9F\x9A\x80", layout), "Jan Ors\t\xF0\x9F\x9A\x80");
    }
    // A line keeps no line break of a name; a text keeps its line ends, LF
    // and CR LF, but no lone CR, which would write over the line.
    EXPECT_EQ(text::terminalSafe("a\nb\r\nc\rd", text::Layout::Line),
              "a" + fffd + "b" + fffd + fffd + "c" + fffd + "d");
    EXPECT_EQ(text::terminalSafe("a\nb\r\nc\rd\r", text::Layout::Lines), "a\nb\r\nc" + fffd + "d" + fffd);
}

TEST(SafeText, SvgTextShowsTheSameControlsAsTheReplacementCharacter)
{
    EXPECT_EQ(svg::escaped("<\x1B]2;x\x07>&\t\n\r"), "&lt;" + fffd + "]2;x" + fffd + "&gt;&amp;   ");
    EXPECT_EQ(svg::escaped("\xC2\x9D"
                           "a\xE2\x80\xAE"
                           "b\xE2\x81\xA7"),
              fffd + "a" + fffd + "b" + fffd);
    // No XML characters: one U+FFFD each, as for any other character left out.
    EXPECT_EQ(svg::escaped("\xEF\xBF\xBE\xEF\xBF\xBF\xEF\xBF\xBD"), fffd + fffd + fffd);
    EXPECT_EQ(svg::escaped("\xFF"
                           "\xC3\xA9"),
              fffd + "\xC3\xA9");
}

}  // namespace
