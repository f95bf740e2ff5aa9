#include "core/charts/BarChart.h"

#include <algorithm>

#include "core/charts/SvgText.h"

namespace vantrel::charts {

namespace {

constexpr double kMargin = 16;
constexpr double kMarkWidth = 16;        // the "!" or "X" before a label
constexpr double kCharWidth = 7.2;       // an average character at 12 px, for room only
constexpr double kMaxLabelWidth = 420;
constexpr double kBarHeight = 12;
constexpr double kTitleHeight = 40;
constexpr double kLegendHeight = 24;
constexpr double kHeadingHeight = 22;
constexpr double kPanelGap = 14;
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

class Writer {
public:
    explicit Writer(std::string& out) : out_(out) {}

    Writer& raw(std::string_view text)
    {
        out_ += text;
        return *this;
    }
    Writer& text(std::string_view text)
    {
        svg::appendEscaped(out_, text);
        return *this;
    }
    Writer& num(double value)
    {
        svg::appendNumber(out_, value);
        return *this;
    }
    Writer& whole(std::int64_t value)
    {
        out_ += std::to_string(value);
        return *this;
    }
    // <text x= y=>...</text>
    Writer& label(double x, double y, std::string_view text, std::string_view extra = {})
    {
        raw("<text x=\"").num(x).raw("\" y=\"").num(y).raw("\"");
        if (!extra.empty())
            raw(" ").raw(extra);
        return raw(">").text(text).raw("</text>\n");
    }

private:
    std::string& out_;
};

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

}  // namespace

std::string renderSvg(const BarChart& chart)
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
    const double width = std::max({valueX + valueWidth + kMargin, kMargin * 2 + legendWidth,
                                   kMargin * 2 + textWidth(chart.title) * 1.4});
    const double height = kTitleHeight + kLegendHeight + headings + static_cast<double>(rowCount) * kRowHeight + kMargin;

    std::string out;
    out.reserve(1024 + rowCount * 360);
    Writer w(out);
    w.raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    w.raw("<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"").num(width).raw("\" height=\"")
        .num(height).raw("\" viewBox=\"0 0 ").num(width).raw(" ").num(height)
        .raw("\" font-family=\"DejaVu Sans, Liberation Sans, Arial, sans-serif\" font-size=\"12\" fill=\"")
        .raw(kTextColour).raw("\">\n");
    w.raw("<title>").text(chart.title).raw("</title>\n");
    w.raw("<desc>").text(chart.description).raw("</desc>\n");
    w.raw("<rect class=\"background\" x=\"0\" y=\"0\" width=\"").num(width).raw("\" height=\"").num(height)
        .raw("\" fill=\"#ffffff\"/>\n");
    w.label(kMargin, 26, chart.title, "font-size=\"16\" font-weight=\"bold\"");

    // The legend: a swatch and the name of each series.
    double x = kMargin;
    const double legendY = kTitleHeight;
    for (const Series& series : chart.series) {
        w.raw("<rect class=\"legend ").raw(series.id).raw("\" x=\"").num(x).raw("\" y=\"").num(legendY - 10)
            .raw("\" width=\"12\" height=\"12\" fill=\"").raw(series.colour).raw("\"/>\n");
        w.label(x + 18, legendY, series.legend);
        x += 18 + textWidth(series.legend) + 18;
    }

    double y = kTitleHeight + kLegendHeight;
    for (const Panel& panel : chart.panels) {
        w.raw("<g class=\"panel\">\n");
        if (!panel.heading.empty()) {
            w.label(kMargin, y + 14, panel.heading, "font-weight=\"bold\"");
            y += kHeadingHeight;
        }
        const double top = y;
        if (panel.rows.empty()) {
            w.label(labelX, y + 13, panel.emptyText, "class=\"empty\" font-style=\"italic\"");
            y += kRowHeight;
        }
        const Scale scale = panelScale(panel, plotX);
        for (const Row& row : panel.rows) {
            w.raw("<g class=\"row\">\n");
            if (row.mark != RowMark::None) {
                const MarkLook look = lookOf(row.mark);
                w.raw("<rect class=\"").raw(look.className).raw("\" x=\"")
                    .num(kMargin - 4).raw("\" y=\"").num(y).raw("\" width=\"").num(width - 2 * kMargin + 8)
                    .raw("\" height=\"").num(kRowHeight).raw("\" fill=\"")
                    .raw(look.background).raw("\"/>\n");
                w.label(kMargin, y + 13, pilotMarkSign(row.mark), "class=\"mark\" font-weight=\"bold\"");
            }
            w.label(labelX, y + 13, row.label, "class=\"label\"");
            double right = scale.zeroX;
            double left = scale.zeroX;
            for (std::uint8_t k = 0; k < row.segmentCount; ++k) {
                const Segment& segment = row.segments[k];
                const Series& series = chart.series[segment.series];
                const double length = static_cast<double>(segment.value < 0 ? -segment.value : segment.value) *
                                      scale.perUnit;
                double barX;
                if (segment.value >= 0) {
                    barX = right;
                    right += length;
                } else {
                    left -= length;
                    barX = left;
                }
                w.raw("<rect class=\"").raw(series.id).raw("\" x=\"").num(barX).raw("\" y=\"")
                    .num(y + (kRowHeight - kBarHeight) / 2).raw("\" width=\"").num(length).raw("\" height=\"")
                    .num(kBarHeight).raw("\" fill=\"").raw(series.colour).raw("\"><title>").text(series.legend)
                    .raw(": ").whole(segment.value).raw("</title></rect>\n");
            }
            w.label(valueX, y + 13, row.valueText, "class=\"value\"");
            w.raw("</g>\n");
            y += kRowHeight;
        }
        if (!panel.rows.empty()) {
            w.raw("<line class=\"zero\" x1=\"").num(scale.zeroX).raw("\" y1=\"").num(top).raw("\" x2=\"")
                .num(scale.zeroX).raw("\" y2=\"").num(y).raw("\" stroke=\"").raw(kAxisColour)
                .raw("\" stroke-width=\"1\"/>\n");
        }
        w.raw("</g>\n");
        y += kPanelGap;
    }
    w.raw("</svg>\n");
    return out;
}

}  // namespace vantrel::charts
