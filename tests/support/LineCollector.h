// A text sink that keeps every line, for tests to compare.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/reports/TextSink.h"

namespace vantrel {

class LineCollector final : public TextSink {
public:
    void addLine(std::string_view line) override { lines.emplace_back(line); }
    void clear() override { lines.clear(); }
    std::vector<std::string> lines;
};

}  // namespace vantrel
