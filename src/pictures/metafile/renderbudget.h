#pragma once

#include "dibreader.h"

#include <QSize>
#include <QtGlobal>

#include <atomic>

namespace orv {

// What one render of a metafile may cost, counted rather than timed, so that a file of a few
// hundred bytes cannot keep the renderer busy for minutes or make it take gigabytes. Two things
// are counted: the work done, in pixels painted (fills, bitmaps and text by their area, strokes by
// their length times their width, each cut to the picture), each record read counting as a
// fixed number of them, and the pixels of the bitmaps decoded. The limits
// depend on the whole picture and the file alone, never on the part being rendered, so every
// part of a picture stops at the same record. Past a limit the rest of the file is skipped and
// what was drawn stays.
class RenderBudget
{
public:
    struct Limits
    {
        double work = 0;             // pixels painted
        qint64 bitmapPixels = 0;     // pixels decoded, all bitmaps together
        qint64 freeBitmapPixels = 0; // what a compressed bitmap may claim whatever its size
    };

    // A run-length record spends at least two bytes on a run of at most 255 pixels; a compressed
    // bitmap claiming more than this many pixels for each of its bytes describes mostly nothing.
    static constexpr qint64 kPixelsPerCompressedByte = 256;

    // For a picture of this size in pixels, drawn from a file of this many bytes: the picture
    // painted over a thousand times, and bitmaps of four times its area (at least 4 and at most
    // 16 megapixels each; 16 megapixels more in all), and more for a larger file: bitmaps are
    // decoded again for each part of the picture they show in, so their total stays modest.
    static Limits limitsFor(QSize picture, qint64 fileBytes);

    // cancel, when given, is polled at each record: a render nobody waits for stops there.
    explicit RenderBudget(const Limits& limits, const std::atomic<bool>* cancel = nullptr);

    // What reading, dispatching and drawing one record costs whatever it paints, in pixels
    // painted: about a microsecond. A file's own records fit in what its bytes allow (256 pixels a
    // byte, six bytes at least a record); records played again and again (a metafile drawn inside
    // one) are what this bounds.
    static constexpr double kRecordWork = 1024;

    // Before each record: false when the render ends here (a limit was reached or it was
    // cancelled).
    bool nextRecord();
    // Records read without being counted as played (records within a record, a walk over an
    // embedded metafile's records to size it): false when that passes the limit, in which case
    // the render ends.
    bool walk(qint64 records);
    // Painting that covers this many pixels of the picture, onSurface of them on the part being
    // rendered: false when it would overrun the limit, in which case it is left out and the
    // render ends.
    bool paint(double pixels, double onSurface = 0);
    // A bitmap claiming this many pixels, stored in bytes, compressed (run-length, JPEG, PNG) or
    // not. False when it is not to be decoded: a compressed bitmap claiming more than its bytes
    // and the picture justify is left out alone; one that would overrun the total ends the
    // render.
    bool bitmap(qint64 pixels, qint64 bytes, bool compressed);

    // Edges handed to the painter's rasteriser, which walks each whole: the sum of the width and
    // height of every path painted (counted only).
    void rasterise(double extent) { m_rasterised += extent; }

    // Dash periods all strokes of one render may be cut into: the painter's stroker spends
    // microseconds on each, whatever few pixels it covers.
    static constexpr double kDashPeriods = 50000;
    // A stroke to be cut into this many dash periods: false when that would pass the allowance,
    // in which case it is drawn solid.
    bool dash(double periods);

    bool stopped() const { return m_stopped || cancelled(); }
    bool cancelled() const { return m_cancel && m_cancel->load(std::memory_order_relaxed); }

    double work() const { return m_work; }
    // What was painted on the part rendered: the work actually done.
    double surfaceWork() const { return m_surfaceWork; }
    double rasterised() const { return m_rasterised; }
    double dashPeriods() const { return m_dashPeriods; }
    qint64 bitmapPixels() const { return m_bitmapPixels; }
    qint64 records() const { return m_records; }
    int bitmapsLeftOut() const { return m_bitmapsLeftOut; }
    const Limits& limits() const { return m_limits; }

private:
    Limits m_limits;
    const std::atomic<bool>* m_cancel;
    double m_work = 0;
    double m_surfaceWork = 0;
    double m_rasterised = 0;
    double m_dashPeriods = 0;
    qint64 m_bitmapPixels = 0;
    qint64 m_records = 0;
    int m_bitmapsLeftOut = 0;
    bool m_stopped = false;
};

// A bitmap a record draws, decoded when the budget allows it and it shows on the surface being
// rendered (shown false: counted as if decoded, so every part stops alike). A null image when
// left out. scanCount, when given, makes the bits a band of that many rows from startScan on.
DibReader::Result decodeWithin(RenderBudget& budget, bool shown, ByteReader info, ByteReader bits, bool paletteIndices,
                               const QList<QRgb>& palette, bool keepAlpha = false, quint32 startScan = 0,
                               quint32 scanCount = 0);
// The same for header, colour table and pixels back to back.
DibReader::Result decodePackedWithin(RenderBudget& budget, bool shown, ByteReader packed, bool paletteIndices,
                                     const QList<QRgb>& palette);

} // namespace orv
