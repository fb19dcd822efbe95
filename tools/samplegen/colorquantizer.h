#pragma once

#include "indexedimage.h"

#include <QImage>

namespace orv {

// Turns a true-colour picture into at most 256 colours for the indexed formats (BMP 8-bit, GIF).
// Median cut picks the palette from the picture's own colours; Floyd–Steinberg diffusion hides
// the banding that gradients would otherwise show. The result depends only on the input, so the
// files made from it are the same on every run.
class ColorQuantizer
{
public:
    // ditherStrength scales the diffused error: 0 maps every pixel to its nearest colour,
    // 1 is full Floyd–Steinberg. Returns an invalid image for a null picture or maxColors < 2.
    static IndexedImage quantize(const QImage& image, int maxColors = 256, double ditherStrength = 0.75);

    // The palette alone. A picture with no more than maxColors colours gets exactly its colours.
    static QList<QRgb> medianCut(const QImage& image, int maxColors);

    // Maps a picture onto a given palette (1 to 256 entries).
    static IndexedImage map(const QImage& image, const QList<QRgb>& palette, double ditherStrength);
};

} // namespace orv
