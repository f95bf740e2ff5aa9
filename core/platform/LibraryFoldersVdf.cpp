#include "core/platform/LibraryFoldersVdf.h"

#include "core/text/TextRules.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace vantrel::gamefolders {

namespace {

// One token of a VDF text: a string (quoted or bare) or a brace.
struct Token {
    enum Kind { String, Open, Close, End } kind = End;
    std::string text;
};

class VdfTokens {
public:
    explicit VdfTokens(std::string_view text) : text_(text) {}

    Token next()
    {
        skipSpaceAndComments();
        if (pos_ >= text_.size())
            return {};
        const char c = text_[pos_];
        if (c == '{' || c == '}') {
            ++pos_;
            return {c == '{' ? Token::Open : Token::Close, {}};
        }
        if (c == '"') {
            // A string cut off by the end of the text is no value: a path
            // cut short may name another folder.
            std::string value;
            if (!quoted(value))
                return {};
            return {Token::String, std::move(value)};
        }
        std::string bare;
        while (pos_ < text_.size() && !std::isspace(static_cast<unsigned char>(text_[pos_])) && text_[pos_] != '{' &&
               text_[pos_] != '}' && text_[pos_] != '"')
            bare += text_[pos_++];
        return {Token::String, bare};
    }

private:
    void skipSpaceAndComments()
    {
        for (;;) {
            while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_])))
                ++pos_;
            if (text_.substr(pos_, 2) != "//")
                return;
            while (pos_ < text_.size() && text_[pos_] != '\n')
                ++pos_;
        }
    }

    // The string at pos_ into `value`; false when the text ends before
    // its closing quote.
    bool quoted(std::string& value)
    {
        ++pos_;  // opening quote
        while (pos_ < text_.size() && text_[pos_] != '"') {
            char c = text_[pos_++];
            if (c == '\\' && pos_ < text_.size()) {
                const char escaped = text_[pos_++];
                switch (escaped) {
                case 'n': c = '\n'; break;
                case 't': c = '\t'; break;
                case '\\': c = '\\'; break;
                case '"': c = '"'; break;
                default:
                    value += '\\';
                    c = escaped;
                    break;
                }
            }
            value += c;
        }
        if (pos_ >= text_.size())
            return false;
        ++pos_;  // closing quote
        return true;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

std::vector<std::string> libraryPathsFromVdf(std::string_view vdfText)
{
    std::vector<std::string> paths;
    VdfTokens tokens(vdfText);
    int depth = 0;
    for (Token token = tokens.next(); token.kind != Token::End; token = tokens.next()) {
        if (token.kind == Token::Open) {
            ++depth;
            continue;
        }
        if (token.kind == Token::Close) {
            depth = std::max(0, depth - 1);
            continue;
        }
        // A string is a key: a brace after it opens its block, a string is its value.
        const std::string key = token.text;
        const Token value = tokens.next();
        if (value.kind == Token::Open)
            ++depth;
        else if (value.kind == Token::Close)
            depth = std::max(0, depth - 1);
        else if (value.kind == Token::String &&
                 (text::equalsIgnoringCase(key, "path") || (depth == 1 && text::allDigits(key))))
            paths.push_back(value.text);
        else if (value.kind == Token::End)
            break;
    }
    return paths;
}

}  // namespace vantrel::gamefolders
