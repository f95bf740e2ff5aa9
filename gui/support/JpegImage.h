// JPEG pictures decoded with libjpeg, called directly: the program's two
// pictures are stored as JPEG data and turned into images at run time.
#pragma once

#include <QByteArray>
#include <QImage>

namespace vantrel {

// The picture held in `data`, as an RGB32 image. Any failure (data that is
// not a JPEG image, a damaged or truncated one, a colour model other than
// grey or colour, or one larger than 8192 pixels on a side) gives a null
// image; libjpeg reports nothing on the terminal.
QImage decodeJpeg(const QByteArray& data);

}  // namespace vantrel
