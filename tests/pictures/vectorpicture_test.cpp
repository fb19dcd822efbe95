// Metafiles shown a part at a time: the loader hands back a picture whose parts are drawn off
// the UI thread as they are shown, the tiles held stay within a screen's worth, and printing and
// full screen get the parts they ask for.
#include "pictures/metafile.h"
#include "pictures/pictureloader.h"
#include "pictures/vectorpicture.h"

#include "eventually.h"
#include "hostilemetafiles.h"
#include "metafilesamples.h"
#include "wmfwriter.h"

#include <QFile>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace orv;

namespace {

std::shared_ptr<const MetafileDocument> document(const QByteArray& data)
{
    QString why;
    auto doc = MetafileDocument::open(data, 96, 96, &why);
    EXPECT_TRUE(doc) << why.toStdString();
    return doc;
}

// What a view of size at offset shows once every tile in it has come.
QImage shown(VectorPicture& picture, QPoint offset, QSize size)
{
    const QRect part(offset, size);
    EXPECT_TRUE(picture.waitFor(part, -1));
    QImage view(size, QImage::Format_RGB32);
    view.fill(Qt::magenta);
    QPainter p(&view);
    picture.paint(p, -offset, view.rect());
    return view;
}

int differentPixels(const QImage& a, const QImage& b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

QString writeFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes)
{
    const QString path = dir.filePath(QLatin1String(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

// A WMF whose second record is cut inside its fields: a polygon of 200 points holding 2.
QByteArray failingWmf()
{
    WmfWriter w(QRect(0, 0, 1000, 1000), 1000);
    w.selectObject(w.createBrush(0, Qt::red));
    QByteArray params;
    params.append(char(200)).append('\0');
    for (int i = 0; i < 4; ++i)
        params.append(char(100 * i)).append('\0');
    w.record(0x0324, params);
    return w.finish();
}

} // namespace

// Nothing is drawn until it is wanted; what comes is what the whole render shows there.
TEST(VectorPicture, DrawsWhatIsShownAsTheWholePictureHasIt)
{
    const QByteArray bytes = MetafileSamples::chart();
    VectorPicture picture(document(bytes));
    const QImage whole = renderMetafile(bytes, 96, 96).image;
    ASSERT_EQ(picture.size(), whole.size());
    EXPECT_EQ(picture.renders(), 0);
    EXPECT_EQ(picture.tilesHeld(), 0);

    QSignalSpy updated(&picture, &VectorPicture::updated);
    const QImage view = shown(picture, QPoint(40, 30), QSize(200, 150));
    EXPECT_EQ(differentPixels(view, whole.copy(40, 30, 200, 150)), 0);
    // One tile holds the whole picture, rendered once.
    EXPECT_EQ(picture.tilesHeld(), 1);
    EXPECT_EQ(picture.renders(), 1);
    ASSERT_EVENTUALLY(updated.count() >= 1);
}

// A frame of 3.19 m x 4.13 m: only the tiles around what is shown are ever drawn and held, and
// scrolling across the whole picture keeps them within a screen's worth.
TEST(VectorPicture, HugeFrameHoldsOnlyAScreensWorth)
{
    VectorPicture picture(document(HostileMetafiles::hugeFrameEmf()));
    EXPECT_EQ(picture.size(), QSize(12047, 15591));
    const QSize box(289, 305);
    ASSERT_TRUE(picture.waitFor(QRect(QPoint(0, 0), box), -1));
    EXPECT_EQ(picture.renders(), 1);
    EXPECT_EQ(picture.tilesHeld(), 1);
    const QImage first = shown(picture, QPoint(0, 0), box);
    EXPECT_NE(first.pixel(150, 150), qRgb(255, 0, 255));

    // The ring around what is shown follows in the background.
    ASSERT_EVENTUALLY(picture.tilesHeld() >= 2 && picture.isReady(QRect(0, 0, 1024, 1024)));
    const int limit = picture.tileLimit();
    const qint64 tileBytes = qint64(VectorPicture::kTileSize) * VectorPicture::kTileSize * 4;
    for (int step = 1; step <= 24; ++step) {
        const QPoint at((picture.size().width() - box.width()) * step / 24, (picture.size().height() - box.height()) * step / 24);
        const QImage view = shown(picture, at, box);
        EXPECT_NE(view.pixel(box.width() / 2, box.height() / 2), qRgb(255, 0, 255)) << step;
        EXPECT_LE(picture.tilesHeld(), limit) << step;
    }
    // A screen's worth and a ring of tiles: far below the 750 MB of the whole picture.
    EXPECT_LE(qint64(limit) * tileBytes, 64LL * 1024 * 1024);
    EXPECT_LE(picture.renders(), 24 * 4 + 2);
}

// Printing and full screen ask for a part of their own; it comes on the UI thread to a context
// that still exists, and not at all to one that is gone.
TEST(VectorPicture, PartsComeToTheirContext)
{
    const QByteArray bytes = MetafileSamples::drawing();
    auto doc = document(bytes);
    VectorPicture picture(doc);
    QImage got;
    bool called = false;
    {
        QObject context;
        picture.renderPart(QRect(10, 20, 100, 80), &context, [&](const QImage& image) {
            got = image;
            called = true;
        });
        ASSERT_EVENTUALLY(called);
    }
    EXPECT_EQ(got, doc->render(QRect(10, 20, 100, 80)).image);

    auto gone = std::make_unique<QObject>();
    bool late = false;
    picture.renderPart(QRect(0, 0, 50, 50), gone.get(), [&](const QImage&) { late = true; });
    gone.reset();
    // Whatever was asked after it is answered later, so the first has had its turn.
    bool after = false;
    QObject context;
    picture.renderPart(QRect(0, 0, 60, 60), &context, [&](const QImage&) { after = true; });
    ASSERT_EVENTUALLY(after);
    EXPECT_FALSE(late);
}

// A record the player refuses, met after drawing began, is reported once; the loader waiting
// for the first tile refuses the file outright.
TEST(VectorPicture, FailingRecordsAreReported)
{
    VectorPicture picture(document(failingWmf()));
    QSignalSpy failed(&picture, &VectorPicture::failed);
    EXPECT_FALSE(picture.waitFor(QRect(0, 0, 10, 10), -1));
    EXPECT_FALSE(picture.error().isEmpty());
    ASSERT_EVENTUALLY_EQ(failed.count(), 1);
    bool delivered = false;
    QImage part = QImage(1, 1, QImage::Format_RGB32);
    QObject context;
    picture.renderPart(QRect(0, 0, 10, 10), &context, [&](const QImage& image) {
        part = image;
        delivered = true;
    });
    ASSERT_EVENTUALLY(delivered);
    EXPECT_TRUE(part.isNull());

    QTemporaryDir dir;
    const PictureResult r = QtPictureLoader(96, 96, 256LL * 1024 * 1024, 0, -1).load(writeFile(dir, "bad.wmf", failingWmf()));
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(r.error.isEmpty());
}

// Metafiles load as vector pictures of their natural size, any size: nothing that size is made.
TEST(VectorPicture, LoaderGivesMetafilesAsVectorPictures)
{
    QTemporaryDir dir;
    QtPictureLoader loader(96, 96, 256LL * 1024 * 1024, 0, -1);
    const PictureResult drawing = loader.load(writeFile(dir, "drawing.wmf", MetafileSamples::drawing()));
    ASSERT_TRUE(drawing.ok()) << drawing.error.toStdString();
    ASSERT_TRUE(drawing.picture.vector);
    EXPECT_TRUE(drawing.picture.image.isNull());
    EXPECT_EQ(drawing.picture.size(), QSize(302, 227));
    EXPECT_EQ(drawing.picture.himetric, QSize(8001, 6001));
    // The top-left tile came before load() returned.
    EXPECT_TRUE(drawing.picture.vector->isReady(QRect(0, 0, 302, 227)));

    const PictureResult poster = QtPictureLoader(96, 96, 1000).load(writeFile(dir, "poster.emf", HostileMetafiles::hugeFrameEmf(2, 2)));
    ASSERT_TRUE(poster.ok()) << poster.error.toStdString();
    EXPECT_EQ(poster.picture.size(), QSize(12047, 15591));
    EXPECT_EQ(poster.picture.himetric, QSize(318750, 412500));
}
