#include "core/text/SafeText.h"

namespace vantrel::text {

std::string terminalSafe(std::string_view text, Layout layout)
{
    std::string out;
    out.reserve(text.size());
    std::size_t k = 0;
    while (k < text.size()) {
        const Utf8Char c = firstUtf8Char(text.substr(k));
        if (c.length == 0) {
            out += kReplacementCharacter;
            ++k;
            continue;
        }
        const bool kept =
            c.codePoint == '\t' ||
            (layout == Layout::Lines &&
             (c.codePoint == '\n' || (c.codePoint == '\r' && k + 1 < text.size() && text[k + 1] == '\n')));
        if (isTerminalControl(c.codePoint) && !kept)
            out += kReplacementCharacter;
        else
            out.append(text, k, c.length);
        k += c.length;
    }
    return out;
}

}  // namespace vantrel::text
