// The picture fuzz targets' corpus replayed through the same checks the targets make
// (fuzz/picturefuzzing.cpp). Files marked ".slow." were slow once: they must draw within a
// fixed budget, whatever the budget's rules become.
#include "picturefuzzing.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace orv::fuzzing;

namespace {

// The two parts rendered (256 x 256 and 96 x 96 pixels) are painted about a thousand times over
// at most, besides reading the records a file of 16 KB can hold (a thousand pixels' worth each),
// and decode at most 33 megapixels of bitmaps each, whatever the file claims.
constexpr double kSlowWorkLimit = 1025.0 * (256 * 256 + 96 * 96) + 2 * 1024.0 * (16384 / 6);
constexpr qint64 kSlowBitmapLimit = 2 * 33LL * 1024 * 1024;
// Edges handed to the painter: geometry far beyond a part is cut before it reaches the painter.
constexpr double kSlowEdgeLimit = 8e6;
// Dash periods strokes are cut into, a few microseconds of the stroker's each.
constexpr double kSlowDashLimit = 2 * 50000;

QByteArray read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(PictureCorpus, EveryFileIsHandledSafely)
{
    const QDir corpus(QStringLiteral(ORVANE_PICTURE_CORPUS));
    const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    ASSERT_GE(names.size(), 25);
    int slow = 0;
    for (const QString& name : names) {
        const std::string n = name.toStdString();
        const QByteArray bytes = read(corpus.filePath(name));
        ASSERT_FALSE(bytes.isEmpty()) << n;
        const QString suffix = QFileInfo(name).suffix().toLower();
        if (suffix == QLatin1String("wmf") || suffix == QLatin1String("emf")) {
            MetafileCost cost;
            EXPECT_EQ(checkMetafile(bytes, &cost).toStdString(), "") << n;
            if (name.contains(QLatin1String(".slow."))) {
                EXPECT_LE(cost.work, kSlowWorkLimit) << n;
                EXPECT_LE(cost.bitmapPixels, kSlowBitmapLimit) << n;
                EXPECT_LE(cost.rasterised, kSlowEdgeLimit) << n;
                EXPECT_LE(cost.dashPeriods, kSlowDashLimit) << n;
                ++slow;
            }
            continue;
        }
        if (suffix == QLatin1String("bmp") || suffix == QLatin1String("dib")) {
            EXPECT_EQ(checkDib(bytes).toStdString(), "") << n;
        }
        EXPECT_EQ(checkPictureFile(bytes).toStdString(), "") << n;
    }
    EXPECT_GE(slow, 5);
}
