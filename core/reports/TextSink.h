// Where reports write their lines: the dialog's text window, stdout, a test vector.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

class TextSink {
public:
    virtual ~TextSink() = default;
    virtual void addLine(std::string_view line) = 0;  // UTF-8, no line break
    virtual void clear() = 0;
};

class LineCollector final : public TextSink {
public:
    void addLine(std::string_view line) override { lines.emplace_back(line); }
    void clear() override { lines.clear(); }
    std::vector<std::string> lines;
};

// For reports run only for what they return.
class DiscardLines final : public TextSink {
public:
    void addLine(std::string_view) override {}
    void clear() override {}
};

}  // namespace vantrel
