// Picture loading: the formats the browser shows, their HIMETRIC sizes, and every kind of bad
// file refused with an error rather than a crash or a huge allocation.
#include "platform/pictureloader.h"

#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orv;

namespace {

QString samples()
{
    const QString dir = qEnvironmentVariable("ORVANE_SAMPLES");
    return dir.isEmpty() ? QStringLiteral(ORVANE_BUILD_SAMPLES) : dir;
}

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
        const PictureResult r = loader.load(samples() + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(r.ok()) << name << " " << r.error.toStdString();
        const QSize px = r.picture.image.size();
        EXPECT_EQ(r.picture.himetric, QSize(int(std::lround(px.width() * 2540 / 96.0)),
                                            int(std::lround(px.height() * 2540 / 96.0))))
            << name;
    }
    const PictureResult sunset = loader.load(samples() + QStringLiteral("/sunset.bmp"));
    EXPECT_EQ(sunset.picture.image.size(), QSize(800, 600));
    EXPECT_EQ(sunset.picture.himetric, QSize(21167, 15875));
}

TEST(PictureLoader, BadFilesAreRefused)
{
    QTemporaryDir dir;
    QtPictureLoader loader(96, 96);
    const QByteArray jpg = readAll(samples() + QStringLiteral("/harbour.jpg"));
    const QByteArray bmp = readAll(samples() + QStringLiteral("/sunset.bmp"));
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
    gif.append(",\0\0\0\0\xff\xff\xff\xff\0\x02\x02\x44\x01\0;", 18);
    const QString gifPath = dir.filePath(QStringLiteral("giant.gif"));
    writeBytes(gifPath, gif);
    EXPECT_FALSE(QtPictureLoader(96, 96, 100LL * 1000 * 1000).load(gifPath).ok());
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
