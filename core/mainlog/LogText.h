// The main log's text rule: in the file, 8-bit text in the game's code page
// (Windows-1252) with CR LF between lines and nothing else; in memory, UTF-8
// with "\n" between lines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantrel::mainlog {

// The in-memory text for a log file's bytes: every CR LF, lone CR and lone LF
// becomes "\n", the code page becomes UTF-8.
std::string decode(std::string_view bytes);

// The file's bytes as UTF-16 into `out`, which has room for bytes.size()
// units. Every CR LF, lone CR and lone LF becomes `lineBreak`, except that
// every `linesPerParagraph`-th one and one at the very end become
// `paragraphBreak`, so that a text window can hold the lines in a few long
// paragraphs. Returns the number of units written.
std::size_t decodeToUtf16(std::string_view bytes, char16_t* out, char16_t lineBreak, char16_t paragraphBreak,
                          std::size_t linesPerParagraph);

// Code-page bytes with CR LF line ends for the in-memory text; characters the
// code page cannot hold become '?'.
std::string encode(std::string_view text);

// Whether a file's bytes (or the text read from them) can be a main log: a
// file holding NUL bytes is no text log and is never appended to.
bool isTextLog(std::string_view bytes);

// Appending one line at the very end of the log: when the text is empty or
// ends with a line break (`atLineStart`), the line followed by a line break
// is added; otherwise a line break followed by the line. Returns what is
// added, with "\n" as the line break.
std::string appendedText(std::string_view line, bool atLineStart);

// Appends one line to the in-memory text by that rule.
void appendLine(std::string& text, std::string_view line);

// Where the bytes can be cut after their last line break, looked for from
// `from` on: after the last LF, or after the last CR when a byte follows it
// (a final CR may still get its LF). 0 when there is no such break.
std::size_t endOfLastLine(std::string_view bytes, std::size_t from);

}  // namespace vantrel::mainlog
