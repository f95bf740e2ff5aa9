// The main log's file format: the log text as 8-bit text in the game's code
// page, lines separated by CR LF, nothing else.
//
// In memory the log is UTF-8 with "\n" between lines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantrel::mainlog {

// A log file larger than this is refused: the text window cannot hold it.
inline constexpr std::size_t kCapacityBytes = 64u * 1024u * 1024u;

inline constexpr std::string_view kTooLargeMessage = "Text exceeds memo capacity.";
std::string cannotOpenMessage(const std::string& path);    // "Cannot open file %s."
std::string cannotCreateMessage(const std::string& path);  // "Cannot create file %s."

struct ReadResult {
    bool ok = false;
    std::string text;   // UTF-8, "\n" line breaks (every CR LF, lone CR and lone LF)
    std::string error;  // the message to show when !ok
};

ReadResult read(const std::string& path);

// Appends one line at the very end: after the text when it is empty or ends
// with a line break, with the line break added after the line; otherwise a
// line break first, then the line.
void appendLine(std::string& text, std::string_view line);

// Code-page bytes with CR LF line ends for the in-memory text; characters the
// code page cannot hold become '?'.
std::string encode(std::string_view text);

// Replaces the file atomically; on failure returns the message to show and
// leaves the old file as it was. Returns an empty string on success.
std::string write(const std::string& path, std::string_view text);

}  // namespace vantrel::mainlog
