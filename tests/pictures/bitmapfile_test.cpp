// Bitmap files in the variants drawing and scanning programs write (bit fields of any width,
// OS/2 and short Windows headers, two-bit palettes, sparse tables, run-length gaps, headerless
// clipboard DIBs) read through our own reader, and GIFs whose first frame leaves part of their
// screen uncovered.

#include "pictures/pictureloader.h"

#include "bytewriter.h"
#include "gifwriter.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using orv::ByteWriter;
using orv::PictureResult;
using orv::QtPictureLoader;

PictureResult loadBytes(const QByteArray& bytes, const QString& name = QStringLiteral("picture.bmp"))
{
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    return QtPictureLoader(96, 96).load(path);
}

// A bitmap file around an info header of the given size: width × height pixels of bpp bits,
// bottom-up, with bit-field masks (red, green, blue, alpha) in the header when it has room
// for them, else after it when compression is 3.
struct Bitmap
{
    quint32 headerSize = 40;
    int width = 2;
    int height = 1;
    int bpp = 32;
    quint32 compression = 3;
    quint32 masks[4] {};
    QList<QRgb> table;
    QByteArray rows;                 // already padded to four bytes a row
    qint32 gap = 0;                  // bytes between the table and the pixels
    bool fileHeader = true;

    QByteArray bytes() const
    {
        ByteWriter info;
        info.le32(headerSize);
        if (headerSize == 16) {
            info.le32(quint32(width));
            info.le32(quint32(height));
            info.le16(1);
            info.le16(quint32(bpp));
        } else if (headerSize == 12) {
            info.le16(quint32(width));
            info.le16(quint32(height));
            info.le16(1);
            info.le16(quint32(bpp));
        } else {
            info.le32(quint32(width));
            info.le32(quint32(height));
            info.le16(1);
            info.le16(quint32(bpp));
            info.le32(compression);
            for (int i = 0; i < 3; ++i)
                info.le32(0);
            info.le32(quint32(table.size()));
            info.le32(0);
            for (int i = 0; qint64(info.size()) < qint64(headerSize); ++i)
                info.le32(i < 4 && headerSize > 40 ? masks[i] : 0);
            if (headerSize == 40 && compression == 3)
                for (int i = 0; i < 3; ++i)
                    info.le32(masks[i]);
        }
        for (QRgb c : table) {
            info.u8(quint32(qBlue(c)));
            info.u8(quint32(qGreen(c)));
            info.u8(quint32(qRed(c)));
            if (headerSize != 12)
                info.u8(0);
        }
        ByteWriter file;
        if (fileHeader) {
            file.u8('B');
            file.u8('M');
            file.le32(quint32(14 + info.size() + gap + rows.size()));
            file.le32(0);
            file.le32(quint32(14 + info.size() + gap));
        }
        file.bytes(info.data());
        file.zeros(gap);
        file.bytes(rows);
        return file.take();
    }
};

QByteArray le(std::initializer_list<quint32> values, int bytes)
{
    ByteWriter w;
    for (quint32 v : values) {
        if (bytes == 2)
            w.le16(v);
        else
            w.le32(v);
    }
    return w.take();
}

::testing::AssertionResult rgbaNear(const QImage& image, int x, int y, QRgb expected, int tolerance = 3)
{
    const QRgb c = image.pixel(x, y);
    const QRgb straight = qUnpremultiply(c);
    auto close = [tolerance](int a, int b) { return std::abs(a - b) <= tolerance; };
    const QRgb e = expected;
    if (close(qAlpha(straight), qAlpha(e)) && (qAlpha(e) == 0 || (close(qRed(straight), qRed(e)) && close(qGreen(straight), qGreen(e))
                                                                    && close(qBlue(straight), qBlue(e)))))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is " << std::hex << straight << ", expected " << e;
}

TEST(BitmapFiles, UnusualBitFieldsKeepTheirColours)
{
    // 10-10-10-2 with alpha in a 124-byte header: full red, opaque; then full blue, a third opaque.
    Bitmap b;
    b.headerSize = 124;
    b.masks[0] = 0x3ff00000;
    b.masks[1] = 0x000ffc00;
    b.masks[2] = 0x000003ff;
    b.masks[3] = 0xc0000000;
    b.rows = le({0xfff00000u, 0x400003ffu}, 4);
    PictureResult r = loadBytes(b.bytes());
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_TRUE(rgbaNear(r.picture.image, 0, 0, qRgba(255, 0, 0, 255)));
    EXPECT_TRUE(rgbaNear(r.picture.image, 1, 0, qRgba(0, 0, 255, 85), 4));

    // 32-bit 11-11-10 without alpha, in a 40-byte header with the masks after it.
    Bitmap e;
    e.masks[0] = 0xffe00000;
    e.masks[1] = 0x001ffc00;
    e.masks[2] = 0x000003ff;
    e.rows = le({0x001ffc00u, 0xffe003ffu}, 4);
    r = loadBytes(e.bytes());
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_TRUE(rgbaNear(r.picture.image, 0, 0, qRgb(0, 255, 0)));
    EXPECT_TRUE(rgbaNear(r.picture.image, 1, 0, qRgb(255, 0, 255)));

    // 16-bit 2-3-1 in a 52-byte header and 5-5-5-1 with alpha in a 56-byte one.
    Bitmap s;
    s.headerSize = 52;
    s.bpp = 16;
    s.masks[0] = 0x30;
    s.masks[1] = 0x0e;
    s.masks[2] = 0x01;
    s.rows = le({0x0030, 0x000f, 0, 0}, 2);   // red; green and blue; padding
    r = loadBytes(s.bytes());
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_TRUE(rgbaNear(r.picture.image, 0, 0, qRgb(255, 0, 0)));
    EXPECT_TRUE(rgbaNear(r.picture.image, 1, 0, qRgb(0, 255, 255)));

    Bitmap a;
    a.headerSize = 56;
    a.bpp = 16;
    a.masks[0] = 0x7c00;
    a.masks[1] = 0x03e0;
    a.masks[2] = 0x001f;
    a.masks[3] = 0x8000;
    a.rows = le({0x801f, 0x7c00, 0, 0}, 2);   // opaque blue; transparent red
    r = loadBytes(a.bytes());
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_TRUE(rgbaNear(r.picture.image, 0, 0, qRgba(0, 0, 255, 255)));
    EXPECT_TRUE(rgbaNear(r.picture.image, 1, 0, qRgba(0, 0, 0, 0)));
}

TEST(BitmapFiles, AlphaThatHidesEverythingIsIgnoredAndUnusedBytesAreNoAlpha)
{
    // A declared alpha mask whose every value is 0 would show nothing: the colours show.
    Bitmap b;
    b.headerSize = 124;
    b.masks[0] = 0x00ff0000;
    b.masks[1] = 0x0000ff00;
    b.masks[2] = 0x000000ff;
    b.masks[3] = 0xff000000;
    b.rows = le({0x00ff0000u, 0x0000ff00u}, 4);
    PictureResult r = loadBytes(b.bytes());
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(rgbaNear(r.picture.image, 0, 0, qRgb(255, 0, 0)));
    // Plain 32-bit pixels with their fourth byte set stay opaque.
    Bitmap plain;
    plain.compression = 0;
    plain.rows = le({0x800000ffu, 0x4000ff00u}, 4);
    r = loadBytes(plain.bytes());
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(rgbaNear(r.picture.image, 0, 0, qRgb(0, 0, 255)));
    EXPECT_TRUE(rgbaNear(r.picture.image, 1, 0, qRgb(0, 255, 0)));
}

TEST(BitmapFiles, OsTwoHeadersTwoBitPalettesAndSparseTables)
{
    const QList<QRgb> four {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)};
    // Two-bit pixels 0, 1, 2, 3 in one byte.
    Bitmap two;
    two.width = 4;
    two.bpp = 2;
    two.compression = 0;
    two.table = four;
    two.rows = QByteArray("\x1b\0\0\0", 4);
    for (const quint32 header : {12u, 16u, 40u, 64u}) {
        Bitmap b = two;
        b.headerSize = header;
        if (header == 12) {
            // The OS/2 core header has no two-bit pixels; eight bits then.
            b.bpp = 8;
            b.table = four;
            b.rows = QByteArray("\x00\x01\x02\x03", 4);
        }
        const PictureResult r = loadBytes(b.bytes());
        ASSERT_TRUE(r.ok()) << header << " " << r.error.toStdString();
        EXPECT_EQ(r.picture.image.size(), QSize(4, 1)) << header;
        for (int x = 0; x < 4; ++x)
            EXPECT_TRUE(rgbaNear(r.picture.image, x, 0, four[x])) << header;
    }

    // An eight-bit file with a four-entry table and a gap before its pixels, which use an
    // index past the table: black, as on a device.
    Bitmap sparse;
    sparse.width = 4;
    sparse.bpp = 8;
    sparse.compression = 0;
    sparse.table = four;
    sparse.gap = 6;
    sparse.rows = QByteArray("\x03\x00\x09\x01", 4);
    const PictureResult r = loadBytes(sparse.bytes());
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_TRUE(rgbaNear(r.picture.image, 0, 0, four[3]));
    EXPECT_TRUE(rgbaNear(r.picture.image, 1, 0, four[0]));
    EXPECT_TRUE(rgbaNear(r.picture.image, 2, 0, qRgb(0, 0, 0)));
    EXPECT_TRUE(rgbaNear(r.picture.image, 3, 0, four[1]));
}

TEST(BitmapFiles, RunLengthGapsAreTransparent)
{
    // RLE8: two pixels of index 1, then a delta of two pixels right, then the end.
    Bitmap b;
    b.width = 6;
    b.bpp = 8;
    b.compression = 1;
    b.table = {qRgb(0, 0, 0), qRgb(255, 0, 0)};
    b.rows = QByteArray("\x02\x01\x00\x02\x02\x00\x01\x01\x00\x01", 10);
    const PictureResult r = loadBytes(b.bytes());
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_TRUE(rgbaNear(r.picture.image, 0, 0, qRgb(255, 0, 0)));
    EXPECT_TRUE(rgbaNear(r.picture.image, 2, 0, qRgba(0, 0, 0, 0)));
    EXPECT_TRUE(rgbaNear(r.picture.image, 4, 0, qRgb(255, 0, 0)));
    EXPECT_TRUE(rgbaNear(r.picture.image, 5, 0, qRgba(0, 0, 0, 0)));   // after the end
}

TEST(BitmapFiles, HeaderlessClipboardDibsRead)
{
    Bitmap b;
    b.fileHeader = false;
    b.compression = 0;
    b.rows = le({0x00ff0000u, 0x000000ffu}, 4);
    for (const QString& name : {QStringLiteral("clip.dib"), QStringLiteral("clip.bmp")}) {
        const PictureResult r = loadBytes(b.bytes(), name);
        ASSERT_TRUE(r.ok()) << name.toStdString() << " " << r.error.toStdString();
        EXPECT_TRUE(rgbaNear(r.picture.image, 0, 0, qRgb(255, 0, 0)));
        EXPECT_TRUE(rgbaNear(r.picture.image, 1, 0, qRgb(0, 0, 255)));
    }
}

TEST(BitmapFiles, ShortAndGiganticBitmapsAreRefused)
{
    Bitmap b;
    b.compression = 0;
    b.width = 100;
    b.height = 100;
    b.rows = QByteArray(400 * 99, '\0');   // one row short
    EXPECT_FALSE(loadBytes(b.bytes()).ok());
    Bitmap huge;
    huge.compression = 0;
    huge.width = 0x7fffffff;
    huge.height = 0x7fffffff;
    huge.rows = QByteArray(16, '\0');
    const PictureResult r = loadBytes(huge.bytes());
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(r.error.isEmpty());
}

TEST(GifFiles, WhatTheFirstFrameLeavesOfItsScreenIsTransparent)
{
    // A 20 × 20 screen whose background colour is red; the first frame, blue, covers 10 × 10 at 5, 5.
    ByteWriter g;
    g.bytes(QByteArrayLiteral("GIF89a"));
    g.le16(20);
    g.le16(20);
    g.u8(0x80);   // a global table of two colours
    g.u8(1);      // background: red
    g.u8(0);
    for (const quint32 c : {0x0000ffu, 0xff0000u}) {   // blue, red as r g b
        g.u8(c >> 16);
        g.u8((c >> 8) & 0xff);
        g.u8(c & 0xff);
    }
    g.u8(0x2C);
    for (const quint32 v : {5u, 5u, 10u, 10u})
        g.le16(v);
    g.u8(0);
    g.u8(2);   // minimum code size
    const QByteArray lzw = orv::GifWriter::compress(QByteArray(100, '\0'), 2);
    for (qsizetype at = 0; at < lzw.size(); at += 255) {
        const QByteArray block = lzw.mid(at, 255);
        g.u8(quint32(block.size()));
        g.bytes(block);
    }
    g.u8(0);
    g.u8(0x3B);
    const PictureResult r = loadBytes(g.data(), QStringLiteral("frame.gif"));
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    ASSERT_EQ(r.picture.image.size(), QSize(20, 20));
    EXPECT_TRUE(rgbaNear(r.picture.image, 10, 10, qRgb(0, 0, 255)));
    EXPECT_TRUE(rgbaNear(r.picture.image, 2, 2, qRgba(0, 0, 0, 0)));
    EXPECT_TRUE(rgbaNear(r.picture.image, 17, 10, qRgba(0, 0, 0, 0)));
}

} // namespace
