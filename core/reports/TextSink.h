// Where reports write their lines: the dialog's text window, stdout.
#pragma once

#include <string_view>

namespace vantrel {

class TextSink {
public:
    virtual ~TextSink() = default;
    virtual void addLine(std::string_view line) = 0;  // UTF-8, no line break
    virtual void clear() = 0;
};

// For reports run only for what they return.
class DiscardLines final : public TextSink {
public:
    void addLine(std::string_view) override {}
    void clear() override {}
};

}  // namespace vantrel
