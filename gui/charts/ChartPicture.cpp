#include "gui/charts/ChartPicture.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "gui/charts/ChartPainter.h"

namespace vantrel {

double chartPictureScale(QSizeF drawing)
{
    if (drawing.isEmpty())
        return 0;
    const double longest = std::max(drawing.width(), drawing.height());
    return std::min<double>(kChartPictureScale, kChartPictureLongestSide / longest);
}

QSize chartPictureSize(QSizeF drawing)
{
    const double scale = chartPictureScale(drawing);
    if (scale <= 0)
        return {};
    // A hair below a whole pixel is that pixel: 16384 stays 16384.
    const auto pixels = [](double length) { return std::max(1, int(std::ceil(length - 1e-6))); };
    return {std::min(pixels(drawing.width() * scale), kChartPictureLongestSide),
            std::min(pixels(drawing.height() * scale), kChartPictureLongestSide)};
}

QByteArray chartPng(const charts::Drawing& drawing)
{
    const QSizeF units(drawing.width, drawing.height);
    const QSize size = chartPictureSize(units);
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    // The chart brings its own background; what it leaves is transparent.
    image.fill(Qt::transparent);
    // The resolution tells viewers and printers the drawing's size in inches.
    const double scale = chartPictureScale(units);
    const double dotsPerInch = 96.0 * scale;
    image.setDotsPerMeterX(int(std::lround(dotsPerInch / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(dotsPerInch / 0.0254)));
    {
        QPainter painter(&image);
        painter.scale(scale, scale);
        paintDrawing(painter, drawing);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return {};
    return bytes;
}

}  // namespace vantrel
