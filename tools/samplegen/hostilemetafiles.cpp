#include "hostilemetafiles.h"

#include "bytewriter.h"
#include "emfwriter.h"
#include "logfont.h"
#include "wmfwriter.h"

#include <algorithm>

namespace orv {

namespace {

constexpr int kClaimed = 8192;

// BITMAPINFOHEADER for an RLE8 bitmap of kClaimed × kClaimed with two colours, and its runs: a
// few rows of colour 1, then the end of the bitmap. The rest of the claim is never written.
QByteArray rleInfo(int dataBytes)
{
    ByteWriter w;
    w.le32(40);
    w.le32(kClaimed);
    w.le32(kClaimed);
    w.le16(1);
    w.le16(8);
    w.le32(1);   // BI_RLE8
    w.le32(quint32(dataBytes));
    w.le32(0);
    w.le32(0);
    w.le32(2);
    w.le32(0);
    w.le32(0x00ffffff);   // white
    w.le32(0x000000c0);   // dark red
    return w.take();
}

QByteArray rleRuns()
{
    ByteWriter w;
    w.u8(255); w.u8(1);   // 255 pixels of colour 1
    w.u8(0); w.u8(0);     // end of line
    w.u8(255); w.u8(1);
    w.u8(0); w.u8(1);     // end of bitmap
    return w.take();
}

} // namespace

QByteArray HostileMetafiles::runLengthBombWmf(int records)
{
    WmfWriter w(QRect(0, 0, 5760, 4320), 1440);
    const QByteArray runs = rleRuns();
    const QByteArray dib = rleInfo(int(runs.size())) + runs;
    for (int i = 0; i < records; ++i)
        w.stretchDib(QRect(0, 0, 5760, 4320), dib, QRect(0, 0, kClaimed, kClaimed));
    return w.finish();
}

QByteArray HostileMetafiles::runLengthBombEmf(int records)
{
    EmfWriter w(QRect(0, 0, 10000, 7500));
    const QByteArray runs = rleRuns();
    const QByteArray info = rleInfo(int(runs.size()));
    for (int i = 0; i < records; ++i)
        w.stretchDIBits(QRect(0, 0, 378, 283), info, runs, QRect(0, 0, kClaimed, kClaimed));
    return w.finish();
}

QByteArray HostileMetafiles::hugeFrameEmf(int columns, int rows)
{
    constexpr int kWidth = 318750;    // hundredths of a millimetre
    constexpr int kHeight = 412500;
    EmfWriter w(QRect(0, 0, kWidth, kHeight));
    w.setMapMode(8);   // MM_ANISOTROPIC: logical units are hundredths of a millimetre
    w.setWindowExt(QSize(kWidth, kHeight));
    w.setViewportExt(QSize(12047, 15591));
    w.setBkMode(1);

    LogFont font;
    font.height = -1200;
    font.face = QStringLiteral("Arial");
    font.pitchAndFamily = 0x22;
    const quint32 label = w.createFont(font);
    w.selectObject(label);
    w.setTextAlign(6);   // TA_CENTER | TA_TOP
    const quint32 outline = w.createPen(0, 60, QColor(0x37, 0x47, 0x4f));
    w.selectObject(outline);
    const int cw = kWidth / columns;
    const int ch = kHeight / rows;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const QColor fill = QColor::fromHsv((c * 360 / columns + r * 7) % 360, 90 + (r * 5) % 120, 230);
            const quint32 brush = w.createBrush(0, fill);
            w.selectObject(brush);
            const QRect cell(c * cw + 400, r * ch + 400, cw - 800, ch - 800);
            if ((r + c) % 3 == 0)
                w.ellipse(cell);
            else
                w.roundRect(cell, QSize(2000, 2000));
            w.deleteObject(brush);
            w.extTextOut(QPoint(cell.center().x(), cell.top() + 1500),
                         QStringLiteral("%1%2").arg(QChar(u'A' + c % 26)).arg(r + 1));
        }
    }
    const quint32 diagonal = w.createPen(0, 200, QColor(0xd3, 0x2f, 0x2f));
    w.selectObject(diagonal);
    w.moveTo(QPoint(0, 0));
    w.lineTo(QPoint(kWidth, kHeight));
    w.moveTo(QPoint(kWidth, 0));
    w.lineTo(QPoint(0, kHeight));
    w.selectObject(0x80000005);   // NULL_BRUSH
    w.rectangle(QRect(100, 100, kWidth - 200, kHeight - 200));
    return w.finish();
}

QByteArray HostileMetafiles::hugeFrameWmf(int columns, int rows)
{
    constexpr int kWidth = 25100;   // 200ths of an inch: 16-bit coordinates reach this far
    constexpr int kHeight = 32520;
    WmfWriter w(QRect(0, 0, kWidth, kHeight), 200);
    w.setWindowOrg(QPoint(0, 0));
    w.setWindowExt(QSize(kWidth, kHeight));
    w.setBkMode(1);

    LogFont font;
    font.height = -94;
    font.face = QStringLiteral("Arial");
    font.pitchAndFamily = 0x22;
    w.selectObject(w.createFont(font));
    w.setTextAlign(6);   // TA_CENTER | TA_TOP
    const int outline = w.createPen(0, 5, QColor(0x37, 0x47, 0x4f));
    w.selectObject(outline);
    const int cw = kWidth / columns;
    const int ch = kHeight / rows;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const QColor fill = QColor::fromHsv((c * 360 / columns + r * 7) % 360, 90 + (r * 5) % 120, 230);
            const int brush = w.createBrush(0, fill);
            w.selectObject(brush);
            const QRect cell(c * cw + 30, r * ch + 30, cw - 60, ch - 60);
            if ((r + c) % 3 == 0)
                w.ellipse(cell);
            else
                w.roundRect(cell, QSize(160, 160));
            w.deleteObject(brush);
            w.textOut(QPoint(cell.center().x(), cell.top() + 120), QStringLiteral("%1%2").arg(QChar(u'A' + c % 26)).arg(r + 1).toLatin1());
        }
    }
    const int diagonal = w.createPen(0, 16, QColor(0xd3, 0x2f, 0x2f));
    w.selectObject(diagonal);
    w.moveTo(QPoint(0, 0));
    w.lineTo(QPoint(kWidth, kHeight));
    w.moveTo(QPoint(kWidth, 0));
    w.lineTo(QPoint(0, kHeight));
    return w.finish();
}

namespace {

// The i-th point of the plot: contour lines of 2000 × 1500 units, a few units apart along each
// line, so the strokes are a pixel or two long.
QPoint plotPoint(qint64 i)
{
    const qint64 line = i / 4000;
    const int along = int(i % 4000);
    const int y = int((line * 37) % 1500);
    const int wave = int((along * 7 + line * 13) % 23) - 11;
    return QPoint(along / 2, std::clamp(y + wave, 0, 1499));
}

// The contour plot's strokes, a new line every 4000 points.
template <class Writer>
QByteArray plotted(Writer& w, qint64 records)
{
    records = std::max<qint64>(records, 2);
    for (qint64 i = 0; i < records; ++i) {
        const QPoint p = plotPoint(i);
        if (i % 4000 == 0)
            w.moveTo(p);
        else
            w.lineTo(p);
    }
    return w.finish();
}

} // namespace

QByteArray HostileMetafiles::manyRecordsWmf(qint64 bytes)
{
    WmfWriter w;
    w.setWindowOrg(QPoint(0, 0));
    w.setWindowExt(QSize(2000, 1500));
    w.selectObject(w.createPen(0, 1, QColor(0x1f, 0x4e, 0x79)));
    return plotted(w, bytes / 10);   // a line is 10 bytes
}

QByteArray HostileMetafiles::manyRecordsEmf(qint64 bytes)
{
    EmfWriter w(QRect(0, 0, 20000, 15000));
    w.setMapMode(8);   // MM_ANISOTROPIC
    w.setWindowExt(QSize(2000, 1500));
    w.setViewportExt(QSize(756, 567));
    w.selectObject(w.createPen(0, 1, QColor(0x1f, 0x4e, 0x79)));
    return plotted(w, bytes / 16);   // a line is 16 bytes
}

} // namespace orv
