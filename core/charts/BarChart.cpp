#include "core/charts/BarChart.h"

#include <algorithm>

namespace vantrel::charts {

namespace {

constexpr double kMargin = 16;
constexpr double kMarkWidth = 16;   // the "!" or "X" before a label
constexpr double kCharWidth = 7.2;  // an average character at 12 px, for room only
constexpr double kMaxLabelWidth = 420;
constexpr double kBarHeight = 12;
constexpr double kTitleHeight = 40;
constexpr double kLegendHeight = 24;
constexpr double kHeadingHeight = 22;
constexpr double kPanelGap = 14;
constexpr std::string_view kFontFamily = "DejaVu Sans, Liberation Sans, Arial, sans-serif";
constexpr double kFontSize = 12;
constexpr double kTitleFontSize = 16;
constexpr std::string_view kTextColour = "#1a1a1a";
constexpr std::string_view kAxisColour = "#606060";
// The review window's backgrounds of rows that fail the check, that have only
// the total warning and that did not load.
constexpr std::string_view kFailsBackground = "#ffcccc";
constexpr std::string_view kWarningBackground = "#ffe8b3";
constexpr std::string_view kNotLoadedBackground = "#e0e0e0";

struct MarkLook {
    std::string_view className;
    std::string_view background;
};

MarkLook lookOf(RowMark mark)
{
    switch (mark) {
    case RowMark::FailsCheck: return {"mark-flagged", kFailsBackground};
    case RowMark::TotalWarningOnly: return {"mark-warning", kWarningBackground};
    case RowMark::NotLoaded: return {"mark-not-loaded", kNotLoadedBackground};
    case RowMark::None: break;
    }
    return {};
}

// Characters, not bytes: UTF-8 continuation bytes do not count.
std::size_t characters(std::string_view text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

double textWidth(std::string_view text)
{
    return static_cast<double>(characters(text)) * kCharWidth;
}

// The panel's value range, zero always inside it.
struct Scale {
    double zeroX = 0;
    double perUnit = 0;
};

Scale panelScale(const Panel& panel, double plotX)
{
    std::int64_t highest = 0;
    std::int64_t lowest = 0;
    for (const Row& row : panel.rows) {
        std::int64_t positive = 0;
        std::int64_t negative = 0;
        for (std::uint8_t k = 0; k < row.segmentCount; ++k) {
            const std::int64_t value = row.segments[k].value;
            (value >= 0 ? positive : negative) += value;
        }
        highest = std::max(highest, positive);
        lowest = std::min(lowest, negative);
    }
    const double span = static_cast<double>(highest) - static_cast<double>(lowest);
    Scale scale;
    scale.perUnit = span > 0 ? kPlotWidth / span : 0;
    scale.zeroX = plotX - static_cast<double>(lowest) * scale.perUnit;
    return scale;
}

Text label(double x, double y, std::string text, std::string className = {})
{
    Text shape;
    shape.x = x;
    shape.y = y;
    shape.text = std::move(text);
    shape.className = std::move(className);
    return shape;
}

}  // namespace

Drawing drawChart(const BarChart& chart)
{
    double labelWidth = 0;
    double valueWidth = 0;
    std::size_t rowCount = 0;
    double headings = 0;
    for (const Panel& panel : chart.panels) {
        headings += panel.heading.empty() ? kPanelGap : kHeadingHeight + kPanelGap;
        labelWidth = std::max(labelWidth, textWidth(panel.heading) - kMarkWidth);
        for (const Row& row : panel.rows) {
            labelWidth = std::max(labelWidth, textWidth(row.label));
            valueWidth = std::max(valueWidth, textWidth(row.valueText));
        }
        rowCount += std::max<std::size_t>(panel.rows.size(), 1);
    }
    labelWidth = std::min(labelWidth, kMaxLabelWidth);
    const double labelX = kMargin + kMarkWidth;
    const double plotX = labelX + labelWidth + 12;
    const double valueX = plotX + kPlotWidth + 10;
    double legendWidth = 0;
    for (const Series& series : chart.series)
        legendWidth += 18 + textWidth(series.legend) + 18;
    const double width = std::max(
        {valueX + valueWidth + kMargin, kMargin * 2 + legendWidth, kMargin * 2 + textWidth(chart.title) * 1.4});
    const double height =
        kTitleHeight + kLegendHeight + headings + static_cast<double>(rowCount) * kRowHeight + kMargin;

    Drawing drawing;
    drawing.width = width;
    drawing.height = height;
    drawing.title = chart.title;
    drawing.description = chart.description;
    drawing.fontFamily = kFontFamily;
    drawing.fontSize = kFontSize;
    drawing.textColour = kTextColour;
    std::vector<Shape>& shapes = drawing.shapes;
    shapes.reserve(8 + chart.series.size() * 2 + chart.panels.size() * 4 + rowCount * 8);
    shapes.push_back(Rect{"background", 0, 0, width, height, "#ffffff", {}});
    Text title = label(kMargin, 26, chart.title);
    title.fontSize = kTitleFontSize;
    title.bold = true;
    shapes.push_back(std::move(title));

    // The legend: a swatch and the name of each series.
    double x = kMargin;
    const double legendY = kTitleHeight;
    for (const Series& series : chart.series) {
        shapes.push_back(
            Rect{"legend " + std::string(series.id), x, legendY - 10, 12, 12, std::string(series.colour), {}});
        shapes.push_back(label(x + 18, legendY, series.legend));
        x += 18 + textWidth(series.legend) + 18;
    }

    double y = kTitleHeight + kLegendHeight;
    for (const Panel& panel : chart.panels) {
        shapes.push_back(GroupStart{"panel"});
        if (!panel.heading.empty()) {
            Text heading = label(kMargin, y + 14, panel.heading);
            heading.bold = true;
            shapes.push_back(std::move(heading));
            y += kHeadingHeight;
        }
        const double top = y;
        if (panel.rows.empty()) {
            Text empty = label(labelX, y + 13, panel.emptyText, "empty");
            empty.italic = true;
            shapes.push_back(std::move(empty));
            y += kRowHeight;
        }
        const Scale scale = panelScale(panel, plotX);
        for (const Row& row : panel.rows) {
            shapes.push_back(GroupStart{"row"});
            if (row.mark != RowMark::None) {
                const MarkLook look = lookOf(row.mark);
                shapes.push_back(Rect{std::string(look.className),
                                      kMargin - 4,
                                      y,
                                      width - 2 * kMargin + 8,
                                      kRowHeight,
                                      std::string(look.background),
                                      {}});
                Text sign = label(kMargin, y + 13, std::string(pilotMarkSign(row.mark)), "mark");
                sign.bold = true;
                shapes.push_back(std::move(sign));
            }
            shapes.push_back(label(labelX, y + 13, row.label, "label"));
            double right = scale.zeroX;
            double left = scale.zeroX;
            for (std::uint8_t k = 0; k < row.segmentCount; ++k) {
                const Segment& segment = row.segments[k];
                const Series& series = chart.series[segment.series];
                const double length =
                    static_cast<double>(segment.value < 0 ? -segment.value : segment.value) * scale.perUnit;
                double barX;
                if (segment.value >= 0) {
                    barX = right;
                    right += length;
                } else {
                    left -= length;
                    barX = left;
                }
                shapes.push_back(Rect{std::string(series.id), barX, y + (kRowHeight - kBarHeight) / 2, length,
                                      kBarHeight, std::string(series.colour),
                                      series.legend + ": " + std::to_string(segment.value)});
            }
            shapes.push_back(label(valueX, y + 13, row.valueText, "value"));
            shapes.push_back(GroupEnd{});
            y += kRowHeight;
        }
        if (!panel.rows.empty())
            shapes.push_back(Line{"zero", scale.zeroX, top, scale.zeroX, y, std::string(kAxisColour), 1});
        shapes.push_back(GroupEnd{});
        y += kPanelGap;
    }
    return drawing;
}

std::string renderSvg(const BarChart& chart)
{
    return svgDocument(drawChart(chart));
}

}  // namespace vantrel::charts
