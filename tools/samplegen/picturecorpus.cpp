#include "picturecorpus.h"

#include "bytewriter.h"
#include "colorquantizer.h"
#include "emfwriter.h"
#include "gifwriter.h"
#include "hostilemetafiles.h"
#include "icowriter.h"
#include "metafilesamples.h"
#include "wmfwriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QPainter>

namespace orv {

namespace {

QImage picture(QSize size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRect(0, 0, size.width(), size.height() / 2), QColor(60, 130, 210));
    p.setBrush(QColor(240, 190, 40));
    p.setPen(QPen(Qt::darkRed, 2));
    p.drawEllipse(QRect(size.width() / 4, size.height() / 4, size.width() / 2, size.height() / 2));
    return image;
}

// A BITMAPINFOHEADER (or a larger one, zero-filled past its fields), then the colour table.
QByteArray infoHeader(int headerSize, qint32 width, qint32 height, int bpp, quint32 compression, quint32 imageBytes,
                      const QList<QRgb>& table, const QList<quint32>& masks = {})
{
    ByteWriter w;
    w.le32(quint32(headerSize));
    w.le32(quint32(width));
    w.le32(quint32(height));
    w.le16(1);
    w.le16(quint32(bpp));
    w.le32(compression);
    w.le32(imageBytes);
    w.le32(3780);
    w.le32(3780);
    w.le32(quint32(table.size()));
    w.le32(0);
    for (quint32 m : masks)
        w.le32(m);
    w.zeros(headerSize + (headerSize == 40 ? masks.size() * 4 : 0) - w.size());
    for (QRgb c : table)
        w.le32(c & 0xffffff);
    return w.take();
}

QByteArray bitmapFile(const QByteArray& dib, int pixelsAt)
{
    ByteWriter w;
    w.u8('B');
    w.u8('M');
    w.le32(quint32(14 + dib.size()));
    w.le32(0);
    w.le32(quint32(14 + pixelsAt));
    w.bytes(dib);
    return w.take();
}

// Rows padded to four bytes, bottom-up, from a function giving each row's bytes.
template <typename Row>
QByteArray rows(int height, int rowBytes, Row row)
{
    QByteArray out;
    for (int y = height - 1; y >= 0; --y) {
        QByteArray r = row(y);
        r.resize(rowBytes, '\0');
        out.append(r);
        while (out.size() % 4)
            out.append('\0');
    }
    return out;
}

QList<std::pair<QString, QByteArray>> bitmaps()
{
    QList<std::pair<QString, QByteArray>> files;
    const QList<QRgb> mono = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    const QList<QRgb> sixteen = {qRgb(0, 0, 0), qRgb(128, 0, 0), qRgb(0, 128, 0), qRgb(128, 128, 0), qRgb(0, 0, 128),
                                 qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192), qRgb(128, 128, 128),
                                 qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(255, 255, 0), qRgb(0, 0, 255),
                                 qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
    auto add = [&](const char* name, const QByteArray& info, const QByteArray& bits) {
        files.append({QString::fromLatin1(name), bitmapFile(info + bits, int(info.size()))});
    };
    {   // 1 bit, a checker board
        const QByteArray bits = rows(16, 2, [](int y) {
            return QByteArray(2, char(y % 2 ? 0xaa : 0x55));
        });
        add("bitmap-1bit.bmp", infoHeader(40, 16, 16, 1, 0, quint32(bits.size()), mono), bits);
    }
    {   // 4 bits, run-length encoded: stripes, a delta, an absolute run
        QByteArray runs;
        for (int y = 0; y < 6; ++y)
            runs.append(char(12)).append(char(0x12 + y)).append('\0').append('\0');
        runs.append('\0').append('\2').append(char(2)).append(char(1));
        runs.append('\0').append(char(5)).append(char(0x34)).append(char(0x56)).append(char(0x70)).append('\0');
        runs.append('\0').append('\1');
        add("bitmap-rle4.bmp", infoHeader(40, 12, 10, 4, 2, quint32(runs.size()), sixteen), runs);
    }
    {   // 8 bits, run-length encoded
        QByteArray runs;
        for (int y = 0; y < 8; ++y)
            runs.append(char(20)).append(char(y * 2)).append('\0').append('\0');
        runs.append('\0').append(char(3)).append(char(1)).append(char(2)).append(char(3)).append('\0');
        runs.append('\0').append('\1');
        QList<QRgb> grey;
        for (int i = 0; i < 16; ++i)
            grey.append(qRgb(i * 16, i * 16, 255 - i * 16));
        add("bitmap-rle8.bmp", infoHeader(40, 20, 10, 8, 1, quint32(runs.size()), grey), runs);
    }
    {   // 16 bits, 5-6-5 bit fields
        const QByteArray bits = rows(8, 16, [](int y) {
            QByteArray r;
            for (int x = 0; x < 8; ++x) {
                const quint16 v = quint16((x * 4) << 11 | (y * 8) << 5 | (31 - x * 4));
                r.append(char(v & 0xff)).append(char(v >> 8));
            }
            return r;
        });
        add("bitmap-565.bmp", infoHeader(40, 8, 8, 16, 3, quint32(bits.size()), {}, {0xf800, 0x07e0, 0x001f}), bits);
    }
    {   // 24 bits, top-down
        const QByteArray bits = rows(6, 30, [](int y) {
            QByteArray r;
            for (int x = 0; x < 10; ++x)
                r.append(char(x * 25)).append(char(y * 40)).append(char(200));
            return r;
        });
        add("bitmap-24bit-topdown.bmp", infoHeader(40, 10, -6, 24, 0, quint32(bits.size()), {}), bits);
    }
    {   // 32 bits with alpha in a V5 header
        const QByteArray bits = rows(4, 16, [](int y) {
            QByteArray r;
            for (int x = 0; x < 4; ++x)
                r.append(char(x * 60)).append(char(y * 60)).append(char(90)).append(char(x * 80 + 15));
            return r;
        });
        add("bitmap-32bit-v5.bmp", infoHeader(124, 4, 4, 32, 3, quint32(bits.size()), {}, {0xff0000, 0xff00, 0xff, 0xff000000}), bits);
    }
    {   // The 12-byte core header of the oldest bitmaps
        ByteWriter w;
        w.le32(12);
        w.le16(8);
        w.le16(4);
        w.le16(1);
        w.le16(4);
        for (QRgb c : sixteen) {
            w.u8(qBlue(c));
            w.u8(qGreen(c));
            w.u8(qRed(c));
        }
        const QByteArray bits = rows(4, 4, [](int y) { return QByteArray(4, char(0x10 * y + 0x9)); });
        add("bitmap-core-header.bmp", w.data(), bits);
    }
    {   // A PNG and a JPEG carried whole
        for (const char* format : {"png", "jpg"}) {
            QByteArray payload;
            QBuffer buffer(&payload);
            buffer.open(QIODevice::WriteOnly);
            QImageWriter writer(&buffer, format);
            writer.write(picture(QSize(24, 16)).convertToFormat(QImage::Format_RGB32));
            const QByteArray info = infoHeader(40, 24, 16, 0, format[0] == 'p' ? 5 : 4, quint32(payload.size()), {});
            files.append({QStringLiteral("embedded-%1.dib").arg(QLatin1String(format)), info + payload});
        }
    }
    {   // Numbers no bitmap can hold: 2^31 - 1 square at 65535 bits a pixel
        const QByteArray info = infoHeader(40, 0x7fffffff, 0x7fffffff, 65535, 0, 0, {});
        add("bitmap-overflowing-claim.bmp", info, QByteArray(16, '\x77'));
    }
    return files;
}

QByteArray encoded(const QImage& image, const char* format, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(60);
    if (progressive)
        writer.setProgressiveScanWrite(true);
    writer.write(image);
    return bytes;
}

// The JPEG with an EXIF block saying how it is to be turned.
QByteArray withOrientation(const QByteArray& jpeg, int orientation)
{
    ByteWriter tiff;
    tiff.bytes(QByteArrayLiteral("II*\0"));
    tiff.le32(8);
    tiff.le16(1);
    tiff.le16(0x0112);
    tiff.le16(3);
    tiff.le32(1);
    tiff.le16(quint32(orientation));
    tiff.le16(0);
    tiff.le32(0);
    const QByteArray exif = QByteArrayLiteral("Exif\0\0") + tiff.data();
    ByteWriter app1;
    app1.u8(0xff);
    app1.u8(0xe1);
    app1.be16(quint32(exif.size() + 2));
    app1.bytes(exif);
    return jpeg.left(2) + app1.data() + jpeg.mid(2);
}

QList<std::pair<QString, QByteArray>> rasterFiles()
{
    QList<std::pair<QString, QByteArray>> files;
    const QImage art = picture(QSize(48, 32));
    const QByteArray jpeg = encoded(art.convertToFormat(QImage::Format_RGB32), "jpg");
    files.append({QStringLiteral("photo.jpg"), jpeg});
    files.append({QStringLiteral("photo-progressive.jpg"), encoded(art.convertToFormat(QImage::Format_RGB32), "jpg", true)});
    files.append({QStringLiteral("photo-turned.jpg"), withOrientation(jpeg, 6)});
    files.append({QStringLiteral("photo-cut.jpg"), jpeg.left(jpeg.size() * 2 / 3)});
    files.append({QStringLiteral("drawing.gif"), GifWriter::encode(ColorQuantizer::quantize(art, 16, 0))});
    const QByteArray icon = IcoWriter::encode({{picture(QSize(16, 16)), {}, IcoWriter::Payload::Bmp},
                                               {picture(QSize(32, 32)), {}, IcoWriter::Payload::Png}},
                                              IcoWriter::Kind::Icon);
    files.append({QStringLiteral("icon.ico"), icon});
    files.append({QStringLiteral("pointer.cur"),
                  IcoWriter::encode({{picture(QSize(16, 16)), QPoint(3, 2), IcoWriter::Payload::Bmp}}, IcoWriter::Kind::Cursor)});
    return files;
}

// A WMF using most kinds of record the player knows.
QByteArray recordsWmf()
{
    WmfWriter w(QRect(0, 0, 2000, 1500), 1000);
    w.setMapMode(8);
    w.setWindowOrg(QPoint(0, 0));
    w.setWindowExt(QSize(2000, 1500));
    w.saveDC();
    w.intersectClipRect(QRect(50, 50, 1900, 1400));
    w.excludeClipRect(QRect(900, 600, 200, 200));
    const int pen = w.createPen(2, 20, Qt::darkBlue);
    const int brush = w.createBrush(2, Qt::red, 3);
    w.selectObject(pen);
    w.selectObject(brush);
    w.setBkMode(2);
    w.setBkColor(Qt::yellow);
    w.setPolyFillMode(2);
    w.rectangle(QRect(100, 100, 400, 300));
    w.roundRect(QRect(600, 100, 400, 300), QSize(80, 60));
    w.ellipse(QRect(1100, 100, 400, 300));
    w.arc(QRect(100, 500, 400, 300), QPoint(0, 0), QPoint(500, 800));
    w.pie(QRect(600, 500, 400, 300), QPoint(1000, 500), QPoint(600, 800));
    w.chord(QRect(1100, 500, 400, 300), QPoint(1100, 500), QPoint(1500, 800));
    w.polygon(QPolygon({QPoint(100, 900), QPoint(400, 950), QPoint(250, 1200)}));
    w.polyline(QPolygon({QPoint(500, 900), QPoint(700, 1200), QPoint(900, 900)}));
    w.polyPolygon({QPolygon({QPoint(1000, 900), QPoint(1300, 900), QPoint(1150, 1200)}),
                   QPolygon({QPoint(1100, 950), QPoint(1200, 950), QPoint(1150, 1100)})});
    w.setRop2(7);
    w.moveTo(QPoint(0, 0));
    w.lineTo(QPoint(2000, 1500));
    w.setRop2(13);
    w.setPixel(QPoint(30, 30), Qt::green);
    w.patBlt(QRect(1600, 100, 300, 300), 0x00F00021);
    w.patBlt(QRect(1600, 500, 300, 300), 0x00550009);
    w.restoreDC(-1);
    const int palette = w.createPalette({qRgb(10, 20, 30), qRgb(200, 100, 50)});
    w.selectPalette(palette);
    QImage tile(8, 8, QImage::Format_RGB32);
    tile.fill(Qt::cyan);
    tile.setPixel(1, 1, qRgb(0, 0, 0));
    w.selectObject(w.createPatternBrush(tile));
    w.rectangle(QRect(1600, 900, 300, 300));
    LogFont font;
    font.height = -120;
    font.weight = 700;
    font.italic = true;
    font.escapement = 150;
    font.face = QStringLiteral("Times New Roman");
    w.selectObject(w.createFont(font));
    w.setTextColor(Qt::darkGreen);
    w.setTextAlign(24);
    w.textOut(QPoint(100, 1400), QByteArray("Records"));
    w.extTextOut(QPoint(900, 1400), QByteArray("opaque"), 6, QRect(880, 1280, 500, 150), {60, 60, 60, 60, 60, 60});
    w.stretchDib(QRect(1500, 1250, 400, 200), picture(QSize(20, 10)).convertToFormat(QImage::Format_RGB32));
    w.deleteObject(pen);
    return w.finish();
}

// An EMF using most kinds of record the player knows.
QByteArray recordsEmf()
{
    EmfWriter w(QRect(0, 0, 5000, 4000));
    w.setMapMode(8);
    w.setWindowExt(QSize(5000, 4000));
    w.setViewportExt(QSize(189, 151));
    w.saveDC();
    w.modifyWorldTransform(QTransform(1, 0.1, -0.1, 1, 50, 20), 2);
    const quint32 pen = w.extCreatePen(0x10000 | 0x200 | 0x2000, 40, Qt::darkMagenta);
    w.selectObject(pen);
    w.selectObject(w.createBrush(2, Qt::blue, 5));
    w.setBkMode(1);
    w.rectangle(QRect(100, 100, 1200, 800));
    w.roundRect(QRect(1500, 100, 1200, 800), QSize(300, 100));
    w.ellipse(QRect(2900, 100, 1200, 800));
    w.arc(QRect(100, 1100, 1200, 800), QPoint(0, 0), QPoint(1300, 1900));
    w.pie(QRect(1500, 1100, 1200, 800), QPoint(2700, 1100), QPoint(1500, 1900));
    w.chord(QRect(2900, 1100, 1200, 800), QPoint(2900, 1100), QPoint(4100, 1900));
    w.restoreDC(-1);
    w.setPolyFillMode(2);
    w.polygon16(QPolygon({QPoint(100, 2100), QPoint(900, 2200), QPoint(500, 2900)}));
    w.polyline16(QPolygon({QPoint(1000, 2100), QPoint(1400, 2900), QPoint(1800, 2100)}));
    w.polygon(QPolygon({QPoint(2000, 2100), QPoint(2800, 2200), QPoint(2400, 2900)}));
    w.polyline(QPolygon({QPoint(2900, 2100), QPoint(3300, 2900), QPoint(3700, 2100)}));
    w.polyPolygon16({QPolygon({QPoint(3800, 2100), QPoint(4800, 2100), QPoint(4300, 2900)}),
                     QPolygon({QPoint(4100, 2300), QPoint(4500, 2300), QPoint(4300, 2700)})});
    w.beginPath();
    w.moveTo(QPoint(100, 3100));
    w.polyBezierTo16(QPolygon({QPoint(400, 2900), QPoint(700, 3700), QPoint(1000, 3100)}));
    w.polylineTo16(QPolygon({QPoint(1200, 3800), QPoint(100, 3800)}));
    w.closeFigure();
    w.endPath();
    w.strokeAndFillPath();
    w.polyBezier16(QPolygon({QPoint(1300, 3100), QPoint(1600, 2900), QPoint(1900, 3700), QPoint(2200, 3100)}));
    w.intersectClipRect(QRect(2300, 3000, 1500, 900));
    w.excludeClipRect(QRect(2900, 3300, 200, 200));
    w.selectPalette(w.createPalette({qRgb(10, 20, 30), qRgb(200, 100, 50)}));
    QImage tile(7, 5, QImage::Format_RGB32);
    tile.fill(Qt::yellow);
    w.selectObject(w.createPatternBrush(tile));
    w.rectangle(QRect(2300, 3000, 1500, 900));
    LogFont font;
    font.height = -300;
    font.face = QStringLiteral("DejaVu Sans");
    w.selectObject(w.createFont(font));
    w.setTextColor(Qt::red);
    w.setTextAlign(6);
    w.extTextOut(QPoint(3000, 3200), QStringLiteral("Records \u00e9\u4e2d"), 2, QRect(2400, 3100, 1300, 400), {200, 200, 200, 200, 200, 200, 200, 200, 200, 200});
    w.stretchDIBits(QRect(4000, 3000, 900, 900), picture(QSize(12, 12)).convertToFormat(QImage::Format_RGB32));
    w.gdiComment(QByteArrayLiteral("EMF+ not here"));
    return w.finish();
}

// Run-length bitmaps of 2000 x 2000 in two bytes each: within what one bitmap on a 4 x 3 inch
// picture may claim, far past what one render may decode in all.
QByteArray claimsWithinTheAllowance()
{
    ByteWriter info;
    info.le32(40);
    info.le32(2000);
    info.le32(2000);
    info.le16(1);
    info.le16(8);
    info.le32(1);
    info.le32(2);
    info.zeros(8);
    info.le32(2);   // colours used
    info.le32(0);
    info.le32(0xffffff);
    info.le32(0x0000c0);
    const QByteArray dib = info.data() + QByteArray("\0\1", 2);
    WmfWriter w(QRect(0, 0, 5760, 4320), 1440);
    for (int i = 0; i < 30; ++i)
        w.stretchDib(QRect(0, 0, 5760, 4320), dib, QRect(0, 0, 2000, 2000));
    return w.finish();
}

// Fills of a picture of 32767 pixels square, a thousand times over and more.
QByteArray fillsOfAHugePicture()
{
    WmfWriter w(QRect(0, 0, 32767, 32767), 96);
    w.selectObject(w.createPen(5, 0, Qt::black));
    const int a = w.createBrush(0, Qt::darkCyan);
    const int b = w.createBrush(0, Qt::darkYellow);
    w.selectObject(a);
    for (int i = 0; i < 1080; ++i) {
        if (i == 1000)
            w.selectObject(b);
        w.rectangle(QRect(0, 0, 32767, 32767));
    }
    return w.finish();
}

} // namespace

bool PictureCorpus::write(const QString& folder)
{
    if (!QDir().mkpath(folder))
        return false;
    QList<std::pair<QString, QByteArray>> files = {
        {QStringLiteral("drawing.wmf"), MetafileSamples::drawing()},
        {QStringLiteral("records.wmf"), recordsWmf()},
        {QStringLiteral("chart.emf"), MetafileSamples::chart()},
        {QStringLiteral("records.emf"), recordsEmf()},
        {QStringLiteral("poster-frame.emf"), HostileMetafiles::hugeFrameEmf(3, 4)},
        {QStringLiteral("rle-bomb-2.5k.slow.wmf"), HostileMetafiles::runLengthBombWmf(29)},
        {QStringLiteral("rle-bomb-466.slow.wmf"), HostileMetafiles::runLengthBombWmf(5)},
        {QStringLiteral("rle-bomb-808.slow.emf"), HostileMetafiles::runLengthBombEmf(5)},
        {QStringLiteral("rle-claims-within-allowance.slow.wmf"), claimsWithinTheAllowance()},
        {QStringLiteral("fills-of-a-huge-picture.slow.wmf"), fillsOfAHugePicture()},
    };
    files.append(bitmaps());
    files.append(rasterFiles());
    for (const auto& [name, bytes] : files) {
        QFile f(QDir(folder).filePath(name));
        if (bytes.isEmpty() || !f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            return false;
    }
    return true;
}

} // namespace orv
