#include "gui/charts/ChartPainter.h"

#include <QFontMetricsF>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <cmath>
#include <variant>

#include "core/charts/SvgText.h"

namespace vantrel {

namespace {

QString qText(const std::string& text)
{
    return QString::fromStdString(text);
}

QColor colourOf(const std::string& colour, const QColor& otherwise = Qt::black)
{
    const QColor parsed = QColor::fromString(QLatin1StringView(colour.data(), qsizetype(colour.size())));
    return parsed.isValid() ? parsed : otherwise;
}

struct ShapePainter {
    QPainter& painter;
    const charts::Drawing& drawing;
    QColor textColour;

    void operator()(const charts::Rect& rect) const
    {
        painter.fillRect(QRectF(rect.x, rect.y, rect.width, rect.height), colourOf(rect.fill));
    }
    void operator()(const charts::Line& line) const
    {
        // As SVG strokes a line: its ends cut square at the end points.
        painter.setPen(QPen(colourOf(line.stroke), line.strokeWidth, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QLineF(line.x1, line.y1, line.x2, line.y2));
    }
    void operator()(const charts::Text& text) const
    {
        const QFont font = drawingFont(drawing, text);
        const QString shown = qText(svg::shownText(text.text));
        double x = text.x;
        if (text.anchor != charts::Anchor::Start) {
            const double advance = QFontMetricsF(font).horizontalAdvance(shown);
            x -= text.anchor == charts::Anchor::Middle ? advance / 2 : advance;
        }
        painter.setFont(font);
        painter.setPen(text.colour.empty() ? textColour : colourOf(text.colour, textColour));
        painter.drawText(QPointF(x, text.y), shown);
    }
    void operator()(const charts::GroupStart&) const {}
    void operator()(const charts::GroupEnd&) const {}
};

}  // namespace

QFont drawingFont(const charts::Drawing& drawing, const charts::Text& text)
{
    QFont font;
    QStringList families;
    for (const QString& name : qText(drawing.fontFamily).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        QString family = name.trimmed();
        if (family.size() > 1 && (family.startsWith(QLatin1Char('"')) || family.startsWith(QLatin1Char('\''))))
            family = family.mid(1, family.size() - 2);
        if (family == QLatin1String("sans-serif"))
            font.setStyleHint(QFont::SansSerif);
        else if (family == QLatin1String("serif"))
            font.setStyleHint(QFont::Serif);
        else if (family == QLatin1String("monospace"))
            font.setStyleHint(QFont::Monospace);
        else if (!family.isEmpty())
            families.push_back(family);
    }
    if (!families.isEmpty())
        font.setFamilies(families);
    const double size = text.fontSize > 0 ? text.fontSize : drawing.fontSize;
    font.setPixelSize(std::max(1, int(std::lround(size))));
    font.setWeight(text.bold ? QFont::Bold : QFont::Normal);
    font.setItalic(text.italic);
    return font;
}

void paintDrawing(QPainter& painter, const charts::Drawing& drawing)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const ShapePainter paint{painter, drawing, colourOf(drawing.textColour)};
    for (const charts::Shape& shape : drawing.shapes)
        std::visit(paint, shape);
    painter.restore();
}

QString drawingTooltipAt(const charts::Drawing& drawing, QPointF point)
{
    for (auto it = drawing.shapes.rbegin(); it != drawing.shapes.rend(); ++it) {
        const auto* rect = std::get_if<charts::Rect>(&*it);
        if (rect && QRectF(rect->x, rect->y, rect->width, rect->height).contains(point))
            return qText(svg::shownText(rect->title));
    }
    return {};
}

TChartView::TChartView(QWidget* parent) : QWidget(parent) {}

void TChartView::setDrawing(const charts::Drawing* drawing)
{
    drawing_ = drawing;
    if (drawing_)
        setFixedSize(int(std::ceil(drawing_->width)), int(std::ceil(drawing_->height)));
    update();
}

void TChartView::paintEvent(QPaintEvent*)
{
    if (!drawing_)
        return;
    QPainter painter(this);
    paintDrawing(painter, *drawing_);
}

bool TChartView::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && drawing_) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = drawingTooltipAt(*drawing_, help->pos());
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, this);
        return true;
    }
    return QWidget::event(event);
}

}  // namespace vantrel
