#pragma once

#include "indexedimage.h"

#include <QByteArray>
#include <QImage>

namespace orv {

// Windows bitmap files: BITMAPFILEHEADER + BITMAPINFOHEADER, uncompressed, rows bottom-up.
// Each call returns the whole file, or an empty array when the picture is null, invalid or
// too large for the 32-bit size fields.
class BmpWriter
{
public:
    // 24 bits per pixel; alpha is dropped.
    static QByteArray encodeRgb24(const QImage& image);

    // 8 bits per pixel. The colour table always holds 256 entries (unused ones black) and
    // biClrUsed says 256, the layout most readers expect from an 8-bit file.
    static QByteArray encodeIndexed8(const IndexedImage& image);
};

} // namespace orv
