// A chart's drawing as a PNG picture.
#pragma once

#include <QByteArray>
#include <QSize>

#include "core/charts/Drawing.h"

namespace vantrel {

// How many pixels a PNG gives each unit of the drawing: twice the screen's,
// so the picture stays sharp when printed or shown on a dense screen.
inline constexpr int kChartPictureScale = 2;
// No side of the picture is longer than this; a taller chart (a squadron of
// thousands) is drawn smaller to fit.
inline constexpr int kChartPictureLongestSide = 16384;

// The pixels a unit of a drawing of `drawing` units gets in its picture:
// kChartPictureScale, or less to keep within kChartPictureLongestSide.
double chartPictureScale(QSizeF drawing);
// The picture's size: the drawing's shape at that scale, whole pixels that
// hold all of it.
QSize chartPictureSize(QSizeF drawing);

// The PNG file's bytes; empty when the picture cannot be made.
QByteArray chartPng(const charts::Drawing& drawing);

}  // namespace vantrel
