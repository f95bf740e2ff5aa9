// A chart's SVG document drawn as a PNG picture.
#pragma once

#include <QByteArray>
#include <QSize>

#include <string_view>

namespace vantrel {

// How many pixels a PNG gives each unit of the drawing: twice the screen's,
// so the picture stays sharp when printed or shown on a dense screen.
inline constexpr int kChartPictureScale = 2;
// No side of the picture is longer than this; a taller chart (a squadron of
// thousands) is drawn smaller to fit.
inline constexpr int kChartPictureLongestSide = 16384;

// The picture's size for a drawing of `drawing` units: the drawing's shape,
// kChartPictureScale times as large, within kChartPictureLongestSide.
QSize chartPictureSize(QSize drawing);

// The PNG file's bytes; empty when `svg` cannot be drawn.
QByteArray chartPng(std::string_view svg);

}  // namespace vantrel
