// The core's chart drawings painted with QPainter: on screen by the chart
// window's view, and into a picture when a chart is saved as PNG.
#pragma once

#include <QFont>
#include <QWidget>

#include "core/charts/Drawing.h"

class QPainter;

namespace vantrel {

// The font a text of `drawing` is painted in: the first of the drawing's
// families present (a sans-serif one if none is), at the text's size in
// pixels, bold and italic as the text asks.
QFont drawingFont(const charts::Drawing& drawing, const charts::Text& text);

// Paints `drawing` with its top left corner at the painter's origin, one
// unit of the drawing to one unit of the painter's coordinates.
void paintDrawing(QPainter& painter, const charts::Drawing& drawing);

// The tooltip of the topmost shape at `point`, or nothing.
QString drawingTooltipAt(const charts::Drawing& drawing, QPointF point);

// A drawing at its own size: the widget is as large as the drawing and
// shows the tooltip of the bar under the mouse.
class TChartView : public QWidget {
public:
    explicit TChartView(QWidget* parent = nullptr);

    // Shows `drawing`, which must outlive the view or the next call; null shows nothing.
    void setDrawing(const charts::Drawing* drawing);
    const charts::Drawing* drawing() const { return drawing_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    const charts::Drawing* drawing_ = nullptr;
};

}  // namespace vantrel
