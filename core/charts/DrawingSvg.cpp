#include <string_view>

#include "core/charts/Drawing.h"
#include "core/charts/SvgText.h"

namespace vantrel::charts {

namespace {

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
    // ` name="value"` of a number.
    Writer& attribute(std::string_view name, double value)
    {
        return raw(" ").raw(name).raw("=\"").num(value).raw("\"");
    }
    // ` name="value"` of a text, left out when empty.
    Writer& attribute(std::string_view name, std::string_view value)
    {
        if (value.empty())
            return *this;
        return raw(" ").raw(name).raw("=\"").text(value).raw("\"");
    }

    void operator()(const Rect& rect)
    {
        raw("<rect").attribute("class", rect.className).attribute("x", rect.x).attribute("y", rect.y);
        attribute("width", rect.width).attribute("height", rect.height).attribute("fill", rect.fill);
        if (rect.title.empty())
            raw("/>\n");
        else
            raw("><title>").text(rect.title).raw("</title></rect>\n");
    }
    void operator()(const Line& line)
    {
        raw("<line").attribute("class", line.className).attribute("x1", line.x1).attribute("y1", line.y1);
        attribute("x2", line.x2).attribute("y2", line.y2).attribute("stroke", line.stroke);
        attribute("stroke-width", line.strokeWidth).raw("/>\n");
    }
    void operator()(const Text& label)
    {
        raw("<text").attribute("x", label.x).attribute("y", label.y).attribute("class", label.className);
        if (label.fontSize > 0)
            attribute("font-size", label.fontSize);
        if (label.bold)
            raw(" font-weight=\"bold\"");
        if (label.italic)
            raw(" font-style=\"italic\"");
        if (label.anchor == Anchor::Middle)
            raw(" text-anchor=\"middle\"");
        else if (label.anchor == Anchor::End)
            raw(" text-anchor=\"end\"");
        attribute("fill", label.colour).raw(">").text(label.text).raw("</text>\n");
    }
    void operator()(const GroupStart& group) { raw("<g").attribute("class", group.className).raw(">\n"); }
    void operator()(const GroupEnd&) { raw("</g>\n"); }

private:
    std::string& out_;
};

}  // namespace

std::string svgDocument(const Drawing& drawing)
{
    std::string out;
    out.reserve(1024 + drawing.shapes.size() * 100);
    Writer w(out);
    w.raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    w.raw("<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\"")
        .attribute("width", drawing.width)
        .attribute("height", drawing.height)
        .raw(" viewBox=\"0 0 ")
        .num(drawing.width)
        .raw(" ")
        .num(drawing.height)
        .raw("\"")
        .attribute("font-family", drawing.fontFamily)
        .attribute("font-size", drawing.fontSize)
        .attribute("fill", drawing.textColour)
        .raw(">\n");
    w.raw("<title>").text(drawing.title).raw("</title>\n");
    w.raw("<desc>").text(drawing.description).raw("</desc>\n");
    for (const Shape& shape : drawing.shapes)
        std::visit(w, shape);
    w.raw("</svg>\n");
    return out;
}

}  // namespace vantrel::charts
