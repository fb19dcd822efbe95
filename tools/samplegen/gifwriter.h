#pragma once

#include "indexedimage.h"

#include <QByteArray>

namespace orv {

// Still GIF89a pictures: one frame, a global colour table sized to the palette and LZW-coded
// pixels with the variable code width and clear codes that every decoder expects.
// Returns the whole file, or an empty array for an invalid image or one wider or taller
// than 65535 pixels.
class GifWriter
{
public:
    static QByteArray encode(const IndexedImage& image);

    // The LZW stream alone (code size byte excluded, no sub-blocks), for callers that frame it
    // themselves. minCodeSize is 2..8 and every pixel must be below 1 << minCodeSize.
    static QByteArray compress(const QByteArray& pixels, int minCodeSize);
};

} // namespace orv
