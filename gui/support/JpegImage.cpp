#include "gui/support/JpegImage.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace vantrel {

namespace {

constexpr JDIMENSION kMaxSide = 8192;

// libjpeg calls error_exit for a fatal error and must not return to it: the
// handler jumps back to the setjmp of the running decoding step.
struct ErrorHandler {
    jpeg_error_mgr base;
    std::jmp_buf resume;
};

[[noreturn]] void jumpBack(j_common_ptr cinfo)
{
    auto* handler = reinterpret_cast<ErrorHandler*>(cinfo->err);
    std::longjmp(handler->resume, 1);
}

void stayQuiet(j_common_ptr) {}

// The two steps below call setjmp and hold only plain data, so a jump out of
// libjpeg skips no destructor. Each returns false after a fatal error.

bool readHeader(jpeg_decompress_struct& cinfo, ErrorHandler& handler, const QByteArray& data)
{
    if (setjmp(handler.resume))
        return false;
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK)
        return false;
    if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > kMaxSide ||
        cinfo.image_height > kMaxSide)
        return false;
    if (cinfo.jpeg_color_space != JCS_GRAYSCALE && cinfo.jpeg_color_space != JCS_YCbCr &&
        cinfo.jpeg_color_space != JCS_RGB)
        return false;
        // The byte order of QImage's RGB32 pixels; libjpeg sets the fourth byte to 0xFF.
#if Q_BYTE_ORDER == Q_BIG_ENDIAN
    cinfo.out_color_space = JCS_EXT_XRGB;
#else
    cinfo.out_color_space = JCS_EXT_BGRX;
#endif
    jpeg_start_decompress(&cinfo);
    return cinfo.output_width == cinfo.image_width && cinfo.output_height == cinfo.image_height &&
           cinfo.output_components == 4;
}

bool readPixels(jpeg_decompress_struct& cinfo, ErrorHandler& handler, uchar* bits, qsizetype bytesPerLine)
{
    if (setjmp(handler.resume))
        return false;
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = bits + bytesPerLine * static_cast<qsizetype>(cinfo.output_scanline);
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1)
            return false;
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

}  // namespace

QImage decodeJpeg(const QByteArray& data)
{
    if (data.isEmpty())
        return {};
    jpeg_decompress_struct cinfo{};
    ErrorHandler handler{};
    cinfo.err = jpeg_std_error(&handler.base);
    handler.base.error_exit = jumpBack;
    // The standard emit_message counts corrupt-data warnings in num_warnings
    // and hands their text to output_message, which here prints nothing.
    handler.base.output_message = stayQuiet;
    jpeg_create_decompress(&cinfo);

    QImage image;
    bool ok = readHeader(cinfo, handler, data);
    if (ok) {
        image =
            QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height), QImage::Format_RGB32);
        ok = !image.isNull() && readPixels(cinfo, handler, image.bits(), image.bytesPerLine());
    }
    // A damaged or truncated stream makes libjpeg warn and fill in grey; such
    // a picture counts as failed too.
    ok = ok && handler.base.num_warnings == 0;
    jpeg_destroy_decompress(&cinfo);
    return ok ? image : QImage();
}

}  // namespace vantrel
