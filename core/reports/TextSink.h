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

}  // namespace vantrel
