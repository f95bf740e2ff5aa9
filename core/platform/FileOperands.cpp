#include "core/platform/FileOperands.h"

#include <algorithm>
#include <filesystem>

#include "core/files/FileIO.h"

namespace vantrel::operands {

namespace {

char foldAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The length of the UTF-8 sequence that starts with `lead` (1 for a byte
// that starts none, so that any bytes are stepped through).
std::size_t sequenceLength(unsigned char lead)
{
    if (lead >= 0xF0 && lead < 0xF8)
        return 4;
    if (lead >= 0xE0)
        return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

std::size_t lastSeparator(std::string_view operand)
{
    return operand.find_last_of("\\/");
}

bool isFolderPath(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::is_directory(fileio::toPath(path), ignored);
}

}  // namespace

bool matchesPattern(std::string_view pattern, std::string_view name)
{
    // Greedy with one point to go back to: the last '*' seen and where in
    // the name it was tried.
    std::size_t p = 0, n = 0;
    std::size_t starAt = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            starName = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            n += std::min(sequenceLength(static_cast<unsigned char>(name[n])), name.size() - n);
        } else if (p < pattern.size() && foldAscii(pattern[p]) == foldAscii(name[n])) {
            ++p;
            ++n;
        } else if (starAt != std::string_view::npos) {
            p = starAt + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool hasWildcard(std::string_view operand)
{
    const std::size_t separator = lastSeparator(operand);
    const std::string_view last = separator == std::string_view::npos ? operand : operand.substr(separator + 1);
    return last.find_first_of("*?") != std::string_view::npos;
}

std::string withoutStrayQuote(const std::string& operand, const std::function<bool(const std::string&)>& isFolder)
{
    if (operand.size() < 2 || operand.back() != '"')
        return operand;
    std::string folder = operand.substr(0, operand.size() - 1);
    return isFolder(folder) ? folder : operand;
}

Expansion expandAsWindowsDoes(const std::vector<std::string>& operands)
{
    Expansion expansion;
    for (const std::string& given : operands) {
        const std::string operand = withoutStrayQuote(given, isFolderPath);
        if (!hasWildcard(operand)) {
            expansion.files.push_back(operand);
            continue;
        }
        const std::size_t separator = lastSeparator(operand);
        const std::string folder = separator == std::string::npos ? std::string() : operand.substr(0, separator + 1);
        const std::string pattern = operand.substr(folder.size());
        std::vector<std::string> names;
        std::error_code ec;
        std::filesystem::directory_iterator it(fileio::toPath(folder.empty() ? "." : folder), ec);
        for (const std::filesystem::directory_iterator end; !ec && it != end; it.increment(ec)) {
            std::string name = fileio::toUtf8(it->path().filename());
            if (name != "." && name != ".." && matchesPattern(pattern, name))
                names.push_back(std::move(name));
        }
        if (names.empty()) {
            expansion.unmatched.push_back(given);
            continue;
        }
        std::sort(names.begin(), names.end());
        for (const std::string& name : names)
            expansion.files.push_back(folder + name);
    }
    return expansion;
}

}  // namespace vantrel::operands
