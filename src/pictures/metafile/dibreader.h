#pragma once

#include "pictures/core/bytereader.h"

#include <QImage>
#include <QList>

#include <optional>

namespace orv {

// Device-independent bitmaps as metafiles embed them and bitmap files hold them: a core, OS/2,
// info or V4/V5 header, a colour table, then rows of pixels (bottom-up unless the height is
// negative). Handles 1, 2, 4, 8, 16, 24 and 32 bits per pixel, any bit fields, RLE4/RLE8, and
// JPEG/PNG payloads. Anything that does not fit its bytes gives a null image; nothing larger
// than maxPixels is allocated.
class DibReader
{
public:
    static constexpr qint64 maxPixels = 64LL * 1024 * 1024;

    struct Result
    {
        QImage image;            // RGB32, or ARGB32 when keepAlpha asked for a 32-bit source's alpha
        bool monochrome = false; // one bit per pixel
        bool bottomUp = true;
    };

    // info: header and colour table; bits: the pixels. With paletteIndices the colour table
    // holds 16-bit indices into palette (DIB_PAL_COLORS).
    static Result decode(ByteReader info, ByteReader bits, bool paletteIndices, const QList<QRgb>& palette,
                         bool keepAlpha = false);
    // Header, colour table and pixels back to back, as WMF records carry them.
    static Result decodePacked(ByteReader packed, bool paletteIndices, const QList<QRgb>& palette);
    // A band of scan lines, as SetDIBitsToDevice transfers them: bits hold rows
    // [startScan, startScan + scanCount) of the bitmap info describes, counted in storage order
    // (from the bottom of a bottom-up bitmap); the image is those rows alone.
    static Result decodeBand(ByteReader info, ByteReader bits, bool paletteIndices, const QList<QRgb>& palette,
                             quint32 startScan, quint32 scanCount);
    // A bitmap file: a "BM" file header and a DIB, or a DIB on its own as clipboard-style .dib
    // files hold it. Keeps the alpha a bitmap declares (an alpha mask) unless every pixel
    // would be invisible. Nothing larger than pixelLimit is allocated.
    static Result decodeFile(ByteReader file, qint64 pixelLimit);
    // Bytes taken by the header and colour table of a packed bitmap; -1 when unreadable.
    static qint64 infoSize(ByteReader packed, bool paletteIndices = false);

    // What decoding would make, read without decoding: the pixels (of the embedded picture for
    // JPEG and PNG) and whether they are stored compressed; nullopt when unreadable. With
    // scanCount, of the band decodeBand makes.
    struct Claim
    {
        qint64 pixels = 0;
        bool compressed = false;
    };
    static std::optional<Claim> claim(ByteReader info, ByteReader bits, quint32 startScan = 0, quint32 scanCount = 0);
};

} // namespace orv
