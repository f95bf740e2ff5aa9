// Horizontal bar charts, drawn as self-contained SVG 1.1 or painted: the one
// layout that every chart of the program (missions, kills, squadron,
// history) is made of.
//
// A chart has a title, a description, a legend of series and one or more
// panels, each with its own scale. A row of a panel has a label, a bar made
// of segments (positive ones stack to the right of the zero line, negative
// ones to its left) and the text of its value. Every bar is a rect of the
// series' class with its own title; every row's label and value are text, so
// the chart reads the same printed, in a dark theme (it brings its own white
// background) or to a screen reader. No script, no style sheet, no external
// reference.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/charts/Drawing.h"
#include "core/reports/PilotTable.h"

namespace vantrel::charts {

struct Series {
    std::string_view id;      // the class of its bars: letters, digits and '-'
    std::string_view colour;  // "#rrggbb"
    std::string legend;
};

struct Segment {
    std::uint8_t series = 0;  // index into BarChart::series
    std::int64_t value = 0;
};

// How a row is marked: as the review window marks a pilot ("!", "?", "X").
using RowMark = PilotMark;

struct Row {
    std::string label;
    // At most two segments: every chart of the program stacks two values at most.
    Segment segments[2];
    std::uint8_t segmentCount = 0;
    std::string valueText;
    RowMark mark = RowMark::None;

    void add(std::uint8_t series, std::int64_t value) { segments[segmentCount++] = {series, value}; }
};

struct Panel {
    std::string heading;    // may be empty
    std::string emptyText;  // shown when the panel has no row
    std::vector<Row> rows;
};

struct BarChart {
    std::string title;
    std::string description;
    std::vector<Series> series;
    std::vector<Panel> panels;
};

// Drawing sizes, in pixels (user units). The chart is as wide as its
// longest label needs.
inline constexpr double kPlotWidth = 480;  // from the panel's smallest to its largest value
inline constexpr double kRowHeight = 18;

// The chart laid out: the one drawing that the SVG document is written from
// and that the desktop program paints.
Drawing drawChart(const BarChart& chart);

// The SVG document of drawChart(chart), UTF-8, with an XML declaration.
std::string renderSvg(const BarChart& chart);

}  // namespace vantrel::charts
