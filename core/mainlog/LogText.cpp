#include "core/mainlog/LogText.h"

#include <cstdint>
#include <cstring>

#include "core/text/Windows1252.h"

namespace vantrel::mainlog {

namespace {

// The first CR or LF from `from` on, or `last`.
const char* nextLineBreak(const char* from, const char* last)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    for (;;) {
        // Eight bytes at a time past words without a byte below CR.
        while (last - from >= 8) {
            std::uint64_t word;
            std::memcpy(&word, from, sizeof word);
            if (((word - kOnes * ('\r' + 1)) & ~word & kHighBits) != 0)
                break;
            from += 8;
        }
        const char* const stop = last - from >= 8 ? from + 8 : last;
        for (; from != stop; ++from) {
            if (*from == '\r' || *from == '\n')
                return from;
        }
        if (from == last)
            return last;
    }
}

// The file's text between its line breaks: every CR LF, lone CR and lone LF
// is one line break. Calls `stretch(text)` for each run of text and
// `lineBreak(atEnd)` for each line break, `atEnd` when it closes the bytes.
template <typename Stretch, typename LineBreak>
void splitAtLineBreaks(std::string_view bytes, Stretch&& stretch, LineBreak&& lineBreak)
{
    const char* const first = bytes.data();
    const char* const last = first + bytes.size();
    const char* from = first;
    while (from != last) {
        const char* end = nextLineBreak(from, last);
        if (end != from)
            stretch(std::string_view(from, static_cast<std::size_t>(end - from)));
        if (end == last) {
            from = last;
            break;
        }
        from = end + 1;
        if (*end == '\r' && from != last && *from == '\n')
            ++from;
        lineBreak(from == last);
    }
}

// Every CR LF, lone CR and lone LF becomes "\n".
std::string normalizedLineBreaks(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    splitAtLineBreaks(
        bytes, [&](std::string_view text) { out.append(text); }, [&](bool) { out += '\n'; });
    return out;
}

}  // namespace

std::string decode(std::string_view bytes)
{
    return cp1252::toUtf8(normalizedLineBreaks(bytes));
}

bool isTextLog(std::string_view bytes)
{
    return bytes.find('\0') == std::string_view::npos;
}

std::size_t decodeToUtf16(std::string_view bytes, char16_t* out, char16_t lineBreak, char16_t paragraphBreak,
                          std::size_t linesPerParagraph)
{
    char16_t* const start = out;
    std::size_t linesInParagraph = 0;
    splitAtLineBreaks(
        bytes,
        [&](std::string_view text) {
            // Widened as ASCII first; bytes from 0x80 on, rare in a log,
            // looked up afterwards.
            unsigned char seen = 0;
            for (std::size_t i = 0; i < text.size(); ++i) {
                const auto byte = static_cast<unsigned char>(text[i]);
                out[i] = byte;
                seen |= byte;
            }
            if (seen & 0x80) {
                for (std::size_t i = 0; i < text.size(); ++i)
                    out[i] = cp1252::kUtf16[static_cast<unsigned char>(text[i])];
            }
            out += text.size();
        },
        [&](bool atEnd) {
            if (atEnd || ++linesInParagraph >= linesPerParagraph) {
                *out++ = paragraphBreak;
                linesInParagraph = 0;
            } else {
                *out++ = lineBreak;
            }
        });
    return static_cast<std::size_t>(out - start);
}

std::string appendedText(std::string_view line, bool atLineStart)
{
    std::string added;
    added.reserve(line.size() + 1);
    if (atLineStart) {
        added.append(line);
        added += '\n';
    } else {
        added += '\n';
        added.append(line);
    }
    return added;
}

void appendLine(std::string& text, std::string_view line)
{
    text += appendedText(line, text.empty() || text.back() == '\n');
}

std::string encode(std::string_view text)
{
    std::string withCrLf;
    withCrLf.reserve(text.size() + text.size() / 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            withCrLf += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            withCrLf += text[i];
        }
    }
    return cp1252::fromUtf8(withCrLf);
}

std::size_t endOfLastLine(std::string_view bytes, std::size_t from)
{
    for (std::size_t i = bytes.size(); i > from; --i) {
        const char c = bytes[i - 1];
        if (c == '\n' || (c == '\r' && i < bytes.size()))
            return i;
    }
    return 0;
}

}  // namespace vantrel::mainlog
