#include "core/mainlog/MainLogFile.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/text/Windows1252.h"
#include "core/files/AtomicFile.h"

namespace vantrel::mainlog {

namespace {

// Error texts end with a full stop; one is added only when the text does not
// already end with one (a file name may).
std::string sentence(std::string text)
{
    if (text.empty() || text.back() != '.')
        text += '.';
    return text;
}

// Every CR LF, lone CR and lone LF becomes "\n".
std::string normalizedLineBreaks(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    // Copied a stretch at a time between carriage returns.
    std::size_t from = 0;
    for (std::size_t cr = bytes.find('\r'); cr != std::string_view::npos; cr = bytes.find('\r', from)) {
        out.append(bytes, from, cr - from);
        out += '\n';
        from = cr + 1;
        if (from < bytes.size() && bytes[from] == '\n')
            ++from;
    }
    out.append(bytes, from);
    return out;
}

}  // namespace

std::string cannotOpenMessage(const std::string& path)
{
    return sentence("Cannot open file " + path);
}

std::string cannotCreateMessage(const std::string& path)
{
    return sentence("Cannot create file " + path);
}

ReadResult read(const std::string& path)
{
    ReadResult result;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        result.error = cannotOpenMessage(path);
        return result;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        result.error = cannotOpenMessage(path);
        return result;
    }
    // Checked before reading, so an oversized file costs no memory.
    if (static_cast<std::uint64_t>(st.st_size) > kCapacityBytes) {
        ::close(fd);
        result.error = std::string(kTooLargeMessage);
        return result;
    }

    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, static_cast<std::size_t>(n));
            // The file may have grown since it was measured.
            if (bytes.size() > kCapacityBytes) {
                ::close(fd);
                result.error = std::string(kTooLargeMessage);
                return result;
            }
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            ::close(fd);
            result.error = cannotOpenMessage(path);
            return result;
        }
    }
    ::close(fd);

    result.ok = true;
    result.text = cp1252::toUtf8(normalizedLineBreaks(bytes));
    return result;
}

void appendLine(std::string& text, std::string_view line)
{
    if (text.empty() || text.back() == '\n') {
        text.append(line);
        text += '\n';
    } else {
        text += '\n';
        text.append(line);
    }
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

std::string write(const std::string& path, std::string_view text)
{
    if (!replaceFileAtomically(path, encode(text)))
        return cannotCreateMessage(path);
    return {};
}

}  // namespace vantrel::mainlog

