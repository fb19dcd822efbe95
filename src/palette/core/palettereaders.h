#pragma once

#include "common/core/prompts.h"

#include <QList>
#include <QString>
#include <QtGlobal>

class QIODevice;

namespace orv {

// One palette entry as read: bitmap values are 0 to 255, JASC values any 16-bit number.
struct PaletteEntry {
    qint16 red = 0;
    qint16 green = 0;
    qint16 blue = 0;
    friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

// What a reader delivers: the entries in palette order, or a refusal naming the text to show
// (87, 88 or 89). A refused file delivers no entries.
struct PaletteRead {
    QList<PaletteEntry> entries;
    int refusal = 0;
    bool refused() const { return refusal != 0; }
};

inline constexpr int kPaletteSize = 256;
inline constexpr int kNotAn8BitBitmap = 87;
inline constexpr int kNotAJascPalette = 88;
inline constexpr int kNotA256ColourJasc = 89;

// The colour table of an 8-bit bitmap: 256 entries of blue, green, red, reserved from offset
// 54, whatever the headers say, once the bits-per-pixel field at offset 28 reads 8. Bytes past
// the end of a short file read as 0, so a path naming no file (read as empty, never created)
// is refused with 87 and a truncated table ends in black entries.
PaletteRead MakeBMP256(const QString& path);
PaletteRead readBitmapPalette(QIODevice& in);

// A JASC palette: the lines "JASC-PAL" (exactly, else 88), a version (not checked) and "256"
// (else 89), then up to 256 triples of 16-bit signed numbers split at line ends, spaces, tabs
// and commas (a run of them is one split), laid out over the lines in any way. Reading stops at
// the first item that is not such a number, or at the end, keeping the whole triples read so
// far; anything after the 256th triple is ignored. A path naming no file reads as empty: 88.
// Memory stays bounded whatever the file holds.
PaletteRead MakeJASC(const QString& path);
PaletteRead readJascPalette(QIODevice& in);

// Which reader the open command uses: the last three characters of the path, in upper case,
// "BMP" or "DIB" for the bitmap reader, "PAL" for the JASC reader; anything else reads nothing.
enum class PaletteKind { None, Bitmap, Jasc };
PaletteKind paletteKindOf(const QString& path);

// The open dialog's two entries: bitmaps (.bmp, .dib) and JASC palettes (.pal), the first
// selected. The masks match either letter case, as the choice of reader does.
QList<FileFilter> paletteFileFilters();

// The list text of an entry: red, green and blue in plain decimal joined by commas.
QString entryText(const PaletteEntry& e);

// A colour value as painted: below 0 as 0, above 255 as 255.
int paintedLevel(int value);

// A list entry taken apart at its first and second commas, as the chosen-colour boxes show it;
// each part's colour level is its leading number (0 when there is none), clamped as painted.
struct EntryParts {
    QString red, green, blue;
    int redLevel = 0, greenLevel = 0, blueLevel = 0;
};
EntryParts splitEntryText(const QString& text);

// The strip of 20-twip stripes. The pointer at y twips picks entry y / 20 (whole part), and
// the painting follows the same rule, so the colour previewed under the pointer is always the
// entry a click there selects; the first stripe begins 1 twip below the top.
inline constexpr int kStripeTwips = 20;
inline constexpr int kStripTopTwips = 1;
int hoverIndexAt(double yTwips);
// The entry painted at y twips on a strip holding `count` stripes, or -1 for the background
// (above the first stripe and below the last).
int stripeAt(double yTwips, int count);

} // namespace orv
