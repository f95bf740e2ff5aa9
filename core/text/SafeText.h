// Untrusted text made safe for terminals. Pilot names, the game names a pilot
// file holds and file names may carry any character: an escape sequence
// printed as it is retitles or clears the terminal, writes the clipboard or
// colours what follows, and a bidi override makes the text read otherwise
// than it is stored.
#pragma once

#include <string>
#include <string_view>

#include "core/text/TextRules.h"

namespace vantrel::text {

// Whether a terminal or a text layout takes the code point as a command: the
// C0 controls, DEL, the C1 controls (U+0080-U+009F), and the bidi embeddings,
// overrides (U+202A-U+202E) and isolates (U+2066-U+2069).
constexpr bool isTerminalControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// What layout characters the text keeps.
enum class Layout {
    Line,   // one line whose end the writer adds: tabs kept, a CR or LF inside is no line end
    Lines,  // a text of whole lines: tabs, LF and CR LF kept (a lone CR still goes)
};

// `text` for a terminal: every well-formed UTF-8 character as it is, except
// each terminal control (see isTerminalControl) other than the layout kept,
// which becomes U+FFFD, as does each byte that is no part of well-formed
// UTF-8.
std::string terminalSafe(std::string_view text, Layout layout);

}  // namespace vantrel::text
