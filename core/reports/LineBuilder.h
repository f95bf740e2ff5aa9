// Report lines built one at a time in a buffer that is kept from line to
// line: a report of hundreds of lines, most of them numbers, is written
// without allocating and without the bookkeeping of std::string appends.
#pragma once

#include <charconv>
#include <concepts>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

#include "core/reports/TextSink.h"

namespace vantrel {

namespace text {

// Room one whole number can take: a sign and 19 digits (any 64-bit value).
inline constexpr std::size_t kMaxDigits = 20;

template <typename T>
concept WholeNumber = std::integral<T> && !std::same_as<T, char> && !std::same_as<T, bool>;

// Writers that put their text at `out` and return where it ends. The caller
// sees to the room.
inline char* put(char* out, std::string_view text)
{
    if (!text.empty())
        std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

inline char* put(char* out, char c)
{
    *out = c;
    return out + 1;
}

// Decimal digits with a leading "-" when negative, as std::to_string gives them.
template <WholeNumber Number>
char* put(char* out, Number value)
{
    if (value >= 0 && value < 10) {  // most counts in a report: one digit, often a zero
        *out = static_cast<char>('0' + value);
        return out + 1;
    }
    return std::to_chars(out, out + kMaxDigits, value).ptr;
}

}  // namespace text

class LineBuilder {
public:
    explicit LineBuilder(TextSink& sink) : sink_(sink), begin_(inline_), pos_(inline_), limit_(inline_ + sizeof inline_)
    {}
    LineBuilder(const LineBuilder&) = delete;
    LineBuilder& operator=(const LineBuilder&) = delete;

    LineBuilder& operator<<(std::string_view text)
    {
        reserve(text.size());
        pos_ = text::put(pos_, text);
        return *this;
    }
    LineBuilder& operator<<(char c)
    {
        reserve(1);
        pos_ = text::put(pos_, c);
        return *this;
    }
    template <text::WholeNumber Number>
    LineBuilder& operator<<(Number value)
    {
        reserve(text::kMaxDigits);
        pos_ = text::put(pos_, value);
        return *this;
    }

    // Appends up to `bound` bytes in one go: `write(char* out)` puts them at
    // `out` and returns where they end. For the many lines of one shape,
    // where checking the room once beats checking it at every piece.
    template <typename Write>
    LineBuilder& append(std::size_t bound, Write write)
    {
        reserve(bound);
        pos_ = write(pos_);
        return *this;
    }

    // Hands the line to the sink and starts an empty one.
    void end()
    {
        sink_.addLine(std::string_view(begin_, static_cast<std::size_t>(pos_ - begin_)));
        pos_ = begin_;
    }

    // A whole line at once.
    void line(std::string_view text) { sink_.addLine(text); }

private:
    void reserve(std::size_t count)
    {
        if (static_cast<std::size_t>(limit_ - pos_) < count)
            grow(count);
    }

    // Rare: lines longer than the inline buffer.
    void grow(std::size_t count)
    {
        const std::size_t used = static_cast<std::size_t>(pos_ - begin_);
        const std::size_t capacity = 2 * (used + count);
        std::unique_ptr<char[]> bigger(new char[capacity]);  // left uninitialised, as it is overwritten
        std::memcpy(bigger.get(), begin_, used);
        heap_ = std::move(bigger);
        begin_ = heap_.get();
        pos_ = begin_ + used;
        limit_ = begin_ + capacity;
    }

    TextSink& sink_;
    char inline_[256];
    std::unique_ptr<char[]> heap_;
    char* begin_;
    char* pos_;
    char* limit_;
};

}  // namespace vantrel
