// Picture loading: the formats the browser shows, their HIMETRIC sizes, and every kind of bad
// file refused with an error rather than a crash or a huge allocation.
#include "pictures/core/rasterformats.h"
#include "pictures/pictureloader.h"
#include "support/rawname.h"
#include "support/samplesdir.h"

#include <QBuffer>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

#include <tuple>
#include <unistd.h>

using namespace orv;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(PictureLoader, SamplesLoadWithTheirSizes)
{
    QtPictureLoader loader(96, 96);
    for (const char* name : {"sunset.bmp", "palette8.bmp", "small.gif", "harbour.jpg", "app.ico", "pointer.cur",
                             "scan.dib", "Photos with spaces/beach day.jpg"}) {
        const PictureResult r = loader.load(orv::test::samplesDir() + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(r.ok()) << name << " " << r.error.toStdString();
        const QSize px = r.picture.image.size();
        EXPECT_EQ(r.picture.himetric, QSize(int(std::lround(px.width() * 2540 / 96.0)),
                                            int(std::lround(px.height() * 2540 / 96.0))))
            << name;
    }
    const PictureResult sunset = loader.load(orv::test::samplesDir() + QStringLiteral("/sunset.bmp"));
    EXPECT_EQ(sunset.picture.image.size(), QSize(800, 600));
    EXPECT_EQ(sunset.picture.himetric, QSize(21167, 15875));
}

TEST(PictureLoader, BadFilesAreRefused)
{
    QTemporaryDir dir;
    QtPictureLoader loader(96, 96);
    const QByteArray jpg = readAll(orv::test::samplesDir() + QStringLiteral("/harbour.jpg"));
    const QByteArray bmp = readAll(orv::test::samplesDir() + QStringLiteral("/sunset.bmp"));
    ASSERT_FALSE(jpg.isEmpty());

    const struct {
        const char* name;
        QByteArray bytes;
    } bad[] = {
        {"empty.bmp", QByteArray()},
        {"text named.jpg", QByteArray("this is not a picture\n")},
        {"truncated.jpg", jpg.left(200)},
        {"truncated.bmp", bmp.left(60)},
        {"garbage.gif", QByteArray(4096, '\x5a')},
        {"header only.ico", QByteArray("\0\0\1\0\1\0", 6)},
    };
    for (const auto& b : bad) {
        const QString path = dir.filePath(QLatin1String(b.name));
        writeBytes(path, b.bytes);
        const PictureResult r = loader.load(path);
        EXPECT_FALSE(r.ok()) << b.name;
        EXPECT_FALSE(r.error.isEmpty()) << b.name;
    }
    EXPECT_FALSE(loader.load(dir.filePath(QStringLiteral("missing.jpg"))).ok());
    EXPECT_FALSE(loader.load(dir.path()).ok());
}

// A header that claims 100000 x 100000 pixels is refused before anything that size exists.
TEST(PictureLoader, GiantClaimedSizeIsRefused)
{
    QTemporaryDir dir;
    QByteArray bmp(54, '\0');
    auto put32 = [&](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            bmp[at + i] = char((v >> (8 * i)) & 0xff);
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, 54 + 1024);
    put32(10, 54);
    put32(14, 40);
    put32(18, 100000);
    put32(22, 100000);
    bmp[26] = 1;
    bmp[28] = 24;
    bmp.append(QByteArray(1024, '\x11'));
    const QString path = dir.filePath(QStringLiteral("giant.bmp"));
    writeBytes(path, bmp);
    const PictureResult r = QtPictureLoader(96, 96).load(path);
    EXPECT_FALSE(r.ok());

    // A GIF whose screen descriptor claims 65535 x 65535.
    QByteArray gif("GIF89a\xff\xff\xff\xff\x00\x00\x00", 13);
    gif.append(",\0\0\0\0\xff\xff\xff\xff\0\x02\x02\x44\x01\0;", 16);
    const QString gifPath = dir.filePath(QStringLiteral("giant.gif"));
    writeBytes(gifPath, gif);
    EXPECT_FALSE(QtPictureLoader(96, 96, 100LL * 1000 * 1000).load(gifPath).ok());
}

// A header's numbers are multiplied in 64 bits and checked: 2^31 - 1 pixels square at 65535 bits
// a pixel (which overflowed and stopped the sanitizer build) is simply more than the file holds.
TEST(PictureLoader, HeaderNumbersNeverOverflow)
{
    QByteArray bmp(54, '\0');
    auto put = [&](int at, quint32 v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            bmp[at + i] = char((v >> (8 * i)) & 0xff);
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put(10, 54, 4);
    put(14, 40, 4);
    put(26, 1, 2);
    for (const auto& [width, height, bits] : {std::tuple {0x7fffffffu, 0x7fffffffu, 65535u},
                                               std::tuple {0x7fffffffu, 0x80000000u, 65535u},
                                               std::tuple {0x80000000u, 0x7fffffffu, 32u},
                                               std::tuple {1u, 1u, 24u}}) {
        put(18, width, 4);
        put(22, height, 4);
        put(28, bits, 2);
        QBuffer in(&bmp);
        in.open(QIODevice::ReadOnly);
        // Only the one-pixel bitmap can be complete: its four bytes of pixels are missing too.
        EXPECT_FALSE(bitmapIsComplete(in)) << width << " x " << height << " x " << bits;
    }
    QByteArray withPixel = bmp + QByteArray(4, '\x40');
    QBuffer complete(&withPixel);
    complete.open(QIODevice::ReadOnly);
    EXPECT_TRUE(bitmapIsComplete(complete));

    put(18, 0x7fffffff, 4);
    put(22, 0x7fffffff, 4);
    put(28, 65535, 2);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("overflow.bmp"));
    writeBytes(path, bmp + QByteArray(64, '\x11'));
    EXPECT_FALSE(QtPictureLoader(96, 96).load(path).ok());
}

// Large but real pictures load whole: no 16-bit limits anywhere.
TEST(PictureLoader, LargeRealPicturesLoad)
{
    QTemporaryDir dir;
    for (const QSize size : {QSize(6000, 4000), QSize(20000, 300)}) {
        QImage img(size, QImage::Format_RGB32);
        img.fill(QColor(30, 120, 200));
        const QString path = dir.filePath(QStringLiteral("big.bmp"));
        ASSERT_TRUE(img.save(path, "BMP"));
        const PictureResult r = QtPictureLoader(96, 96).load(path);
        ASSERT_TRUE(r.ok()) << r.error.toStdString();
        EXPECT_EQ(r.picture.image.size(), size);
        EXPECT_EQ(r.picture.himetric.width(), int(std::lround(size.width() * 2540 / 96.0)));
    }
}

namespace {

QString makeJpeg(const QTemporaryDir& dir, QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            img.setPixel(x, y, qRgb((x * 7) & 255, (y * 3) & 255, ((x + y) * 5) & 255));
    const QString path = dir.filePath(QStringLiteral("tall.jpg"));
    QImageWriter w(path, "jpeg");
    w.setQuality(85);
    EXPECT_TRUE(w.write(img));
    return path;
}

} // namespace

// A large JPEG returns with its top rows and finishes in the background into the same pixels;
// the result is the picture a whole decode gives.
TEST(PictureLoader, JpegFinishesInTheBackground)
{
    QTemporaryDir dir;
    const QString path = makeJpeg(dir, QSize(800, 2400));
    const PictureResult whole = QtPictureLoader(96, 96).load(path);
    ASSERT_TRUE(whole.ok());
    EXPECT_FALSE(whole.picture.completion);

    PictureResult part = QtPictureLoader(96, 96, 256LL * 1024 * 1024, 100).load(path);
    ASSERT_TRUE(part.ok());
    ASSERT_TRUE(part.picture.completion);
    EXPECT_GE(part.picture.rowsReady(), 100);
    part.picture.completion->waitUntilDone();
    EXPECT_TRUE(part.picture.completion->isDone());
    EXPECT_EQ(part.picture.rowsReady(), 2400);
    EXPECT_EQ(part.picture.image, whole.picture.image);

    // Dropped while still decoding: the worker stops and nothing is left behind.
    for (int i = 0; i < 5; ++i) {
        PictureResult dropped = QtPictureLoader(96, 96, 256LL * 1024 * 1024, 16).load(path);
        ASSERT_TRUE(dropped.ok());
    }
}

// A JPEG cut short keeps the rows it has and shows grey below them, never stale memory.
TEST(PictureLoader, TruncatedJpegKeepsItsRows)
{
    QTemporaryDir dir;
    const QString path = makeJpeg(dir, QSize(400, 1200));
    QByteArray bytes = readAll(path);
    const QString cut = dir.filePath(QStringLiteral("cut.jpg"));
    writeBytes(cut, bytes.left(bytes.size() * 6 / 10));
    for (int firstRows : {0, 64}) {
        PictureResult r = QtPictureLoader(96, 96, 256LL * 1024 * 1024, firstRows).load(cut);
        ASSERT_TRUE(r.ok()) << firstRows;
        if (r.picture.completion)
            r.picture.completion->waitUntilDone();
        EXPECT_EQ(r.picture.image.size(), QSize(400, 1200));
        EXPECT_EQ(r.picture.image.pixel(200, 1199), qRgb(128, 128, 128)) << firstRows;
        EXPECT_NE(r.picture.image.pixel(200, 10), qRgb(128, 128, 128)) << firstRows;
    }
}

// A picture large enough for a mapping of its own, whose pages fault in on a second thread
// while its rows decode: its pixels are exactly the library's, and one cut short shows grey,
// never what an earlier picture left in that memory.
TEST(PictureLoader, LargeJpegIsExactAndNeverShowsOldMemory)
{
    QTemporaryDir dir;
    const QString path = makeJpeg(dir, QSize(2400, 1800));
    QImageReader reader(path);
    const QImage reference = reader.read().convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(reference.isNull());
    for (int firstRows : {0, 16}) {
        PictureResult r = QtPictureLoader(96, 96, 256LL * 1024 * 1024, firstRows).load(path);
        ASSERT_TRUE(r.ok()) << firstRows;
        if (r.picture.completion)
            r.picture.completion->waitUntilDone();
        EXPECT_EQ(r.picture.image, reference) << firstRows;
    }

    // Another picture of the same size, in other colours, to leave its pixels behind.
    QImage inverted = reference;
    inverted.invertPixels();
    const QString other = dir.filePath(QStringLiteral("other.jpg"));
    ASSERT_TRUE(inverted.save(other, "JPEG"));
    const QByteArray bytes = readAll(path);
    const QString cut = dir.filePath(QStringLiteral("cut.jpg"));
    writeBytes(cut, bytes.left(bytes.size() / 2));
    for (int firstRows : {0, 16}) {
        // The cut picture decoded in memory each of the two whole ones may have given back:
        // the same pixels both times, grey where the file ends.
        QList<QImage> shown;
        for (const QString& before : {path, other}) {
            PictureResult whole = QtPictureLoader(96, 96).load(before);
            ASSERT_TRUE(whole.ok());
            whole = PictureResult();
            PictureResult r = QtPictureLoader(96, 96, 256LL * 1024 * 1024, firstRows).load(cut);
            ASSERT_TRUE(r.ok()) << firstRows;
            if (r.picture.completion)
                r.picture.completion->waitUntilDone();
            shown.append(r.picture.image);
        }
        EXPECT_EQ(shown[0], shown[1]) << firstRows;
        EXPECT_EQ(shown[0].pixel(1200, 1799), qRgb(128, 128, 128)) << firstRows;
        EXPECT_NE(shown[0].pixel(1200, 10), qRgb(128, 128, 128)) << firstRows;
    }
}

// Names that are not valid UTF-8 open by their real bytes, through every reader.
TEST(PictureLoader, NamesThatAreNotUtf8Load)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QtPictureLoader loader(96, 96);
    for (const char* sample : {"sunset.bmp", "small.gif", "harbour.jpg", "app.ico", "drawing.wmf", "chart.emf"}) {
        const QString source = orv::test::samplesDir() + u'/' + QLatin1String(sample);
        const QString path =
            orv::test::copyRawNamed(source, dir.path(), orv::test::notUtf8Name(QFileInfo(source).suffix().toLatin1()));
        ASSERT_FALSE(path.isEmpty());
        const PictureResult r = loader.load(path);
        EXPECT_TRUE(r.ok()) << sample << " " << r.error.toStdString();
        EXPECT_EQ(r.picture.image.size(), loader.load(source).picture.image.size()) << sample;
        ::unlink(orv::encodeFileName(path).constData());
    }
}
