#pragma once

#include <QByteArray>
#include <QList>
#include <QRgb>

namespace orv {

// A picture stored as palette indices, the form BMP 8-bit and GIF files keep on disk.
// Rows run top to bottom with no padding: pixel (x, y) is pixels[y * width + x].
struct IndexedImage
{
    int width = 0;
    int height = 0;
    QList<QRgb> palette;   // at most 256 entries; alpha is ignored
    QByteArray pixels;     // width * height indices into palette

    bool isValid() const
    {
        if (width <= 0 || height <= 0 || palette.isEmpty() || palette.size() > 256)
            return false;
        if (pixels.size() != qsizetype(width) * height)
            return false;
        for (const char index : pixels) {
            if (static_cast<uchar>(index) >= palette.size())
                return false;
        }
        return true;
    }

    uchar at(int x, int y) const { return static_cast<uchar>(pixels[qsizetype(y) * width + x]); }
};

} // namespace orv
