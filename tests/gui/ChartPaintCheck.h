// What the chart tests check of a painted chart: each bar in its colour
// where the drawing puts it.
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

#include <cmath>
#include <variant>

#include <gtest/gtest.h>

#include "core/charts/Drawing.h"

namespace vantrel::testing {

// `image` holds `drawing` painted at `scale`: the middle of every bar (a
// rectangle with a tooltip) wide enough for a whole pixel is the bar's
// colour, and the top left corner the white background.
inline void expectBarsPainted(const QImage& image, const charts::Drawing& drawing, double scale = 1)
{
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::white));
    int checked = 0;
    for (const charts::Shape& shape : drawing.shapes) {
        const auto* bar = std::get_if<charts::Rect>(&shape);
        if (!bar || bar->title.empty() || bar->width * scale < 3)
            continue;
        const QPoint middle(int(std::floor((bar->x + bar->width / 2) * scale)),
                            int(std::floor((bar->y + bar->height / 2) * scale)));
        EXPECT_EQ(image.pixelColor(middle).name(), QString::fromStdString(bar->fill))
            << bar->title << " at " << middle.x() << "," << middle.y();
        ++checked;
    }
    EXPECT_GT(checked, 0) << "no bar to look at";
}

// What `view` shows, as the screen would.
inline QImage shownImage(QWidget& view)
{
    return view.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace vantrel::testing
