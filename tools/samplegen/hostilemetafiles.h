#pragma once

#include <QByteArray>

namespace orv {

// Metafiles that cost far more to draw than their size suggests, as a broken or hostile writer
// makes them. Tests, the fuzzing corpus and the benchmarks draw on them.
class HostileMetafiles
{
public:
    // A placeable WMF of 4 × 3 inches whose records each stretch a run-length-encoded 8-bit
    // bitmap claiming 8192 × 8192 pixels over the picture; 84 bytes a record, so 29 records
    // make a file of about 2.5 KB and 5 one of 466 bytes.
    static QByteArray runLengthBombWmf(int records);
    // The same bitmaps in an EMF of 10 × 7.5 cm (STRETCHDIBITS, 136 bytes a record).
    static QByteArray runLengthBombEmf(int records);
    // An honest EMF of 3.19 m × 4.13 m (12,047 × 15,591 pixels at 96 dpi): a poster of
    // columns × rows labelled, coloured cells with a frame and diagonals across all of it.
    static QByteArray hugeFrameEmf(int columns = 24, int rows = 32);
    // The same poster as a placeable WMF of 125.5 × 162.6 inches (12,048 × 15,610 pixels),
    // which the main window's picture area shows.
    static QByteArray hugeFrameWmf(int columns = 24, int rows = 32);
    // An honest plain WMF (no placeable header, framed by its window of 2000 × 1500) of about
    // this many bytes, nearly all of it short strokes of a contour plot, 10 bytes a record: what a
    // plotting program exports for a dense chart. Sizing it walks every record.
    static QByteArray manyRecordsWmf(qint64 bytes);
    // The same plot as an EMF of 20 × 15 cm, 16 bytes a record.
    static QByteArray manyRecordsEmf(qint64 bytes);
};

} // namespace orv
