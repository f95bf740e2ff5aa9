// A chart as a drawing: its size and the shapes it is made of, in the order
// they are painted, each later one over the earlier. Plain data with no
// toolkit behind it: the SVG document is written from it, and the desktop
// program paints it itself, so both show the one layout.
//
// Coordinates and lengths are in pixels (SVG user units), y downwards. A
// colour is "#rrggbb". Groups only bracket shapes that belong together (a
// panel, a row) for the SVG's readers; they change nothing painted.
#pragma once

#include <string>
#include <variant>
#include <vector>

namespace vantrel::charts {

struct Rect {
    std::string className;  // may be empty
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    std::string fill;
    std::string title;  // the tooltip; may be empty
};

struct Line {
    std::string className;
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    std::string stroke;
    double strokeWidth = 1;
};

// Where a text's x lies: at its start, its middle or its end.
enum class Anchor { Start, Middle, End };

// One line of text standing on its baseline at y.
struct Text {
    double x = 0;
    double y = 0;
    std::string text;
    std::string className;
    double fontSize = 0;  // 0: the drawing's
    bool bold = false;
    bool italic = false;
    Anchor anchor = Anchor::Start;
    std::string colour;  // empty: the drawing's
};

struct GroupStart {
    std::string className;
};
struct GroupEnd {};

using Shape = std::variant<Rect, Line, Text, GroupStart, GroupEnd>;

struct Drawing {
    double width = 0;
    double height = 0;
    std::string title;
    std::string description;
    // The fonts asked for, as CSS lists them: the first one present is used.
    std::string fontFamily;
    double fontSize = 12;
    std::string textColour;
    std::vector<Shape> shapes;
};

// The SVG 1.1 document of `drawing`, UTF-8, with an XML declaration.
std::string svgDocument(const Drawing& drawing);

}  // namespace vantrel::charts
