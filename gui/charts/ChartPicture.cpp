#include "gui/charts/ChartPicture.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>

namespace vantrel {

QSize chartPictureSize(QSize drawing)
{
    if (drawing.isEmpty())
        return {};
    const int longest = std::max(drawing.width(), drawing.height());
    const double scale = std::min<double>(kChartPictureScale, double(kChartPictureLongestSide) / longest);
    return {std::max(1, int(std::lround(drawing.width() * scale))),
            std::max(1, int(std::lround(drawing.height() * scale)))};
}

QByteArray chartPng(std::string_view svg)
{
    QSvgRenderer renderer(QByteArray(svg.data(), qsizetype(svg.size())));
    if (!renderer.isValid())
        return {};
    const QSize drawing = renderer.defaultSize();
    const QSize size = chartPictureSize(drawing);
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    // The chart brings its own background; what it leaves is transparent.
    image.fill(Qt::transparent);
    // The resolution tells viewers and printers the drawing's size in inches.
    const double dotsPerInch = 96.0 * size.width() / drawing.width();
    image.setDotsPerMeterX(int(std::lround(dotsPerInch / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(dotsPerInch / 0.0254)));
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return {};
    return bytes;
}

}  // namespace vantrel
