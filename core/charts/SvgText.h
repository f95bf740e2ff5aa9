// Text and numbers as an SVG document holds them.
#pragma once

#include <string>
#include <string_view>

namespace vantrel::svg {

// `text` as XML character data or an attribute value: & < > " ' as entity
// references, tab, LF and CR as spaces, and every byte sequence that is not
// UTF-8, every other control character (C0, DEL, C1), bidi override or
// isolate (text::isTerminalControl) and U+FFFE/U+FFFF as U+FFFD. Pilot names come decoded from the game's code page, but
// file names may hold any bytes, and a single stray one makes a whole
// document unreadable.
void appendEscaped(std::string& out, std::string_view text);
std::string escaped(std::string_view text);

// `text` as the document shows it, before the entity references: every
// character appendEscaped replaces, replaced alike. What a painter of the
// drawing writes, so the picture reads as the SVG does.
std::string shownText(std::string_view text);

// A coordinate or length: at most two decimals, no trailing zeros, never
// "-0" and never an exponent.
void appendNumber(std::string& out, double value);

}  // namespace vantrel::svg
