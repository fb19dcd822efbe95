// A metafile drawn a part at a time, and what one render may cost: parts come out exactly as
// the same pixels of the whole picture, and files that claim far more than they hold are drawn
// within a counted budget.
#include "pictures/metafile.h"
#include "pictures/metafile/renderbudget.h"

#include "emfpluswriter.h"
#include "emfwriter.h"
#include "hostilemetafiles.h"
#include "metafilesamples.h"
#include "wmfwriter.h"

#include <QtEndian>
#include <gtest/gtest.h>

#include <functional>
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

// The picture put together from parts of cell × cell pixels.
QImage fromParts(const MetafileDocument& doc, QSize cell)
{
    QImage whole(doc.size(), QImage::Format_RGB32);
    whole.fill(Qt::magenta);
    for (int y = 0; y < doc.size().height(); y += cell.height()) {
        for (int x = 0; x < doc.size().width(); x += cell.width()) {
            const MetafileDocument::Part part = doc.render(QRect(QPoint(x, y), cell));
            EXPECT_TRUE(part.error.isEmpty()) << part.error.toStdString();
            for (int row = 0; row < part.image.height(); ++row)
                std::copy_n(reinterpret_cast<const QRgb*>(part.image.constScanLine(row)), part.image.width(),
                            reinterpret_cast<QRgb*>(whole.scanLine(y + row)) + x);
        }
    }
    return whole;
}

struct Difference {
    int pixels = 0;  // pixels that differ at all
    int most = 0;    // the largest difference of a channel
};

Difference compare(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return {a.width() * a.height() + 1, 255};
    Difference d;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int most = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
            d.pixels += most > 0;
            d.most = std::max(d.most, most);
        }
    }
    return d;
}

// Drawings whose parts are easy to get wrong: brush patterns and hatches that must line up
// with the picture's corner, a clip region moved after it was set, text across part edges.
QByteArray patternsAndClips()
{
    EmfWriter w(QRect(0, 0, 8000, 6000));
    QImage odd(7, 5, QImage::Format_RGB32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            odd.setPixel(x, y, (x + y) % 3 ? qRgb(30, 90, 200) : qRgb(250, 220, 40));
    w.selectObject(0x80000008);   // NULL_PEN
    w.selectObject(w.createPatternBrush(odd));
    w.rectangle(QRect(0, 0, 150, 226));
    w.setBkMode(2);
    w.setBkColor(QColor(200, 255, 200));
    w.selectObject(w.createBrush(2, Qt::red, 5));   // HS_DIAGCROSS
    w.ellipse(QRect(150, 0, 152, 226));
    // A region clip, then the same region moved by OFFSETCLIPRGN.
    QByteArray params;
    const auto le = [&params](quint32 v) {
        const quint32 x = qToLittleEndian(v);
        params.append(reinterpret_cast<const char*>(&x), 4);
    };
    le(48);
    le(5);   // RGN_COPY
    for (quint32 v : {32u, 1u, 1u, 16u, 20u, 20u, 90u, 90u, 20u, 20u, 90u, 90u})
        le(v);
    w.record(75, params);
    QByteArray offset;
    for (qint32 v : {120, 100}) {
        const qint32 x = qToLittleEndian(v);
        offset.append(reinterpret_cast<const char*>(&x), 4);
    }
    w.record(26, offset);   // OFFSETCLIPRGN
    w.selectObject(w.createBrush(0, Qt::darkGreen));
    w.rectangle(QRect(0, 0, 302, 226));
    LogFont font;
    font.height = -40;
    font.face = QStringLiteral("DejaVu Sans");
    w.selectObject(w.createFont(font));
    w.setTextColor(Qt::black);
    w.setBkMode(1);
    w.extTextOut(QPoint(10, 150), QStringLiteral("Parts of a picture"));
    return w.finish();
}

} // namespace

// Everything is worked out for the whole picture and moved onto the part last: patterns,
// hatches and moved clip regions line up exactly. Thin lines and text crossing a part's edge may
// differ in the odd antialiased pixel (the painter clips them there, and dots of a dotted line
// restart at that edge), never more.
TEST(MetafileParts, PartsJoinIntoTheWholePicture)
{
    const auto patterns = document(patternsAndClips());
    ASSERT_TRUE(patterns);
    const RenderedMetafile whole = renderMetafile(patternsAndClips(), 96, 96);
    ASSERT_FALSE(whole.image.isNull());
    for (const QSize cell : {QSize(37, 41), QSize(128, 128), QSize(1000, 19)})
        EXPECT_EQ(compare(fromParts(*patterns, cell), whole.image).pixels, 0) << cell.width() << " x " << cell.height();

    for (const auto& [name, bytes] : {std::pair {"drawing.wmf", MetafileSamples::drawing()},
                                      std::pair {"chart.emf", MetafileSamples::chart()}}) {
        const auto doc = document(bytes);
        ASSERT_TRUE(doc);
        const QImage reference = renderMetafile(bytes, 96, 96).image;
        ASSERT_FALSE(reference.isNull()) << name;
        for (const QSize cell : {QSize(37, 41), QSize(128, 128)}) {
            const Difference d = compare(fromParts(*doc, cell), reference);
            EXPECT_LT(d.pixels, reference.width() * reference.height() / 100) << name << " in parts of " << cell.width();
            EXPECT_LT(d.most, 200) << name << " in parts of " << cell.width();
        }
        // A picture within one tile is the whole picture.
        EXPECT_EQ(compare(fromParts(*doc, doc->size()), reference).pixels, 0) << name;
    }
}

TEST(MetafileParts, APartIsCutToThePicture)
{
    const auto doc = document(MetafileSamples::chart());
    ASSERT_TRUE(doc);
    const QSize size = doc->size();
    const MetafileDocument::Part edge = doc->render(QRect(size.width() - 10, size.height() - 5, 100, 100));
    EXPECT_EQ(edge.image.size(), QSize(10, 5));
    const MetafileDocument::Part outside = doc->render(QRect(size.width(), 0, 10, 10));
    EXPECT_TRUE(outside.image.isNull());
    EXPECT_FALSE(outside.error.isEmpty());
}

// Run-length bitmaps claiming 8192 x 8192 pixels in a few bytes each are left out without being
// decoded: the 2.5 KB file that used to decode 29 x 64 megapixels decodes none.
TEST(MetafileBudget, RunLengthBitmapsClaimingFarMoreThanTheyHoldAreLeftOut)
{
    for (const QByteArray& bomb : {HostileMetafiles::runLengthBombWmf(29), HostileMetafiles::runLengthBombEmf(5)}) {
        const RenderedMetafile m = renderMetafile(bomb, 96, 96);
        ASSERT_TRUE(m.error.isEmpty()) << m.error.toStdString();
        EXPECT_EQ(m.cost.bitmapPixels, 0);
        EXPECT_EQ(m.cost.bitmapsLeftOut, bomb.size() > 1000 ? 29 : 5);
        EXPECT_FALSE(m.cost.stopped);
        EXPECT_EQ(m.image.pixel(m.image.width() / 2, m.image.height() / 2), qRgb(255, 255, 255));
    }
}

namespace {

// A placeable WMF of 4 x 3 inches stretching a run-length bitmap of side x side pixels, all of
// colour 1, over the picture, records times.
QByteArray runLengthBitmaps(int side, int records, QRgb colour)
{
    QByteArray runs;
    for (int y = 0; y < side; ++y) {
        for (int left = side; left > 0; left -= 255)
            runs.append(char(std::min(left, 255))).append('\1');
        runs.append('\0').append('\0');
    }
    runs.append('\0').append('\1');
    QByteArray dib(48, '\0');
    qToLittleEndian<quint32>(40, dib.data());
    qToLittleEndian<qint32>(side, dib.data() + 4);
    qToLittleEndian<qint32>(side, dib.data() + 8);
    qToLittleEndian<quint16>(1, dib.data() + 12);
    qToLittleEndian<quint16>(8, dib.data() + 14);
    qToLittleEndian<quint32>(1, dib.data() + 16);   // BI_RLE8
    qToLittleEndian<quint32>(quint32(runs.size()), dib.data() + 20);
    qToLittleEndian<quint32>(2, dib.data() + 32);
    qToLittleEndian<quint32>(0xffffff, dib.data() + 40);
    qToLittleEndian<quint32>(colour & 0xffffff, dib.data() + 44);
    WmfWriter w(QRect(0, 0, 5760, 4320), 1440);
    for (int i = 0; i < records; ++i)
        w.stretchDib(QRect(0, 0, 5760, 4320), dib + runs, QRect(0, 0, side, side));
    return w.finish();
}

} // namespace

// Honest run-length bitmaps are drawn; past the total allowed for one render the rest of the
// file is skipped and what was drawn stays.
TEST(MetafileBudget, DecodedBitmapPixelsStopAtTheTotal)
{
    const RenderedMetafile honest = renderMetafile(runLengthBitmaps(300, 3, qRgb(0, 0, 255)), 96, 96);
    ASSERT_TRUE(honest.error.isEmpty());
    EXPECT_EQ(honest.cost.bitmapPixels, 3 * 300 * 300);
    EXPECT_FALSE(honest.cost.stopped);
    EXPECT_EQ(honest.image.pixel(100, 100), qRgb(0, 0, 255));

    // 2000 x 2000 claimed in a few kilobytes: within what a bitmap on this picture may claim,
    // but 30 of them are far past the total.
    const QByteArray many = runLengthBitmaps(2000, 30, qRgb(255, 0, 0));
    const RenderBudget::Limits limits = RenderBudget::limitsFor(QSize(384, 288), many.size());
    const RenderedMetafile m = renderMetafile(many, 96, 96);
    ASSERT_TRUE(m.error.isEmpty());
    EXPECT_TRUE(m.cost.stopped);
    EXPECT_LE(m.cost.bitmapPixels, limits.bitmapPixels);
    EXPECT_GE(m.cost.bitmapPixels, limits.bitmapPixels - 2000 * 2000);
    EXPECT_LT(m.cost.records, 30);
    EXPECT_EQ(m.image.pixel(100, 100), qRgb(255, 0, 0));
}

// Records count as work whatever they paint: a metafile drawn inside an EMF+ file again and
// again, each time replaying (and, a plain WMF, walking) its thousands of records, stops within
// the work limit instead of running for minutes.
TEST(MetafileBudget, RecordsPlayedOverAndOverCountAgainstTheLimit)
{
    const QByteArray inner = HostileMetafiles::manyRecordsWmf(40000);   // 4,000 records
    EmfWriter w(QRect(0, 0, 2540, 2540));
    EmfPlusWriter plus;
    plus.header(false);
    plus.metafile(1, inner);
    w.gdiComment(plus.take());
    for (int comment = 0; comment < 40; ++comment) {
        for (int i = 0; i < 50; ++i)
            plus.drawImage(1, QRectF(0, 0, 2000, 1500), QRectF(0, 0, 96, 72));
        w.gdiComment(plus.take());
    }
    plus.endOfFile();
    w.gdiComment(plus.take());
    const QByteArray file = w.finish();
    const RenderedMetafile m = renderMetafile(file, 96, 96);
    ASSERT_TRUE(m.error.isEmpty()) << m.error.toStdString();
    const RenderBudget::Limits limits = RenderBudget::limitsFor(m.image.size(), file.size());
    EXPECT_TRUE(m.cost.stopped);
    EXPECT_LE(m.cost.work, limits.work);
    // What was drawn before the limit stays.
    int drawn = 0;
    for (int y = 0; y < m.image.height(); ++y)
        for (int x = 0; x < m.image.width(); ++x)
            drawn += m.image.pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_GT(drawn, 100);
}

// A clip worked out through a mask costs the mask's area: on a huge picture, clip records by the
// thousand stop once that adds up to the work limit.
TEST(MetafileBudget, ClipMasksCountAgainstTheLimit)
{
    WmfWriter w(QRect(0, 0, 2000, 1500), 1);   // 192,000 x 144,000 pixels
    w.setMapMode(8);
    w.setWindowOrg(QPoint(0, 0));
    w.setWindowExt(QSize(2000, 1500));
    w.saveDC();
    for (int i = 0; i < 1500; ++i) {
        w.intersectClipRect(QRect(50, 50, 1900, 1400));
        w.excludeClipRect(QRect(-27195, -5032, 28295, 5832));
    }
    const QByteArray file = w.finish();
    const auto doc = document(file);
    ASSERT_TRUE(doc);
    const MetafileDocument::Part part = doc->render(QRect(0, 0, 256, 256));
    ASSERT_TRUE(part.error.isEmpty()) << part.error.toStdString();
    EXPECT_TRUE(part.cost.stopped);
    EXPECT_LE(part.cost.work, RenderBudget::limitsFor(doc->size(), file.size()).work);
    EXPECT_LT(part.cost.records, 3000);
}

// Painting is counted in pixels of the picture: a file of thousands of fills over a large
// picture stops once it has painted the picture a thousand times over, and every part of it
// stops at the same record.
TEST(MetafileBudget, PaintingStopsAtTheWorkLimitAndPartsAgree)
{
    WmfWriter w(QRect(0, 0, 1440 * 11, 1440 * 11), 1440);   // 1056 x 1056 pixels
    w.selectObject(w.createPen(5, 0, Qt::black));
    const int blue = w.createBrush(0, Qt::blue);
    const int red = w.createBrush(0, Qt::red);
    for (int i = 0; i < 3000; ++i) {
        w.selectObject(i < 1500 ? blue : red);
        w.rectangle(QRect(0, 0, 1440 * 11, 1440 * 11));
    }
    const QByteArray file = w.finish();
    const RenderedMetafile m = renderMetafile(file, 96, 96);
    ASSERT_TRUE(m.error.isEmpty());
    const RenderBudget::Limits limits = RenderBudget::limitsFor(QSize(1056, 1056), file.size());
    EXPECT_TRUE(m.cost.stopped);
    EXPECT_LE(m.cost.work, limits.work);
    EXPECT_GT(m.cost.work, limits.work - 1056.0 * 1056 * 2);
    EXPECT_LT(m.cost.records, 3000 * 2);
    EXPECT_EQ(m.image.pixel(500, 500), qRgb(0, 0, 255));

    const auto doc = document(file);
    ASSERT_TRUE(doc);
    const MetafileDocument::Part corner = doc->render(QRect(1000, 1000, 56, 56));
    EXPECT_EQ(corner.cost.records, m.cost.records);
    EXPECT_EQ(corner.image.pixel(10, 10), qRgb(0, 0, 255));
}

// A part of a picture with a bitmap elsewhere never decodes it, but counts it all the same.
TEST(MetafileBudget, BitmapsOutsideThePartAreCountedNotDecoded)
{
    const QByteArray file = runLengthBitmaps(300, 1, qRgb(0, 0, 255));
    const auto doc = document(file);
    ASSERT_TRUE(doc);
    const MetafileDocument::Part inside = doc->render(QRect(0, 0, 50, 50));
    EXPECT_EQ(inside.image.pixel(10, 10), qRgb(0, 0, 255));
    EXPECT_EQ(inside.cost.bitmapPixels, 300 * 300);
}

// A cancelled render ends at the next record.
TEST(MetafileBudget, CancelledRenderEndsAtTheNextRecord)
{
    const auto doc = document(MetafileSamples::chart());
    ASSERT_TRUE(doc);
    std::atomic<bool> cancel {true};
    const MetafileDocument::Part part = doc->render(QRect(QPoint(), doc->size()), &cancel);
    EXPECT_EQ(part.cost.records, 0);
    EXPECT_FALSE(part.cost.stopped);
}

// Dotted strokes are cut into dashes by the painter a few microseconds each, however few pixels
// they cover: past the allowance of one render, strokes come solid, in every part alike.
TEST(MetafileBudget, DashesPastTheAllowanceComeSolid)
{
    EmfWriter w(QRect(0, 0, 8000, 6000));   // 302 x 227 pixels, a logical unit a pixel
    w.selectObject(w.createPen(2, 0, Qt::black));   // PS_DOT, a pixel wide: 6 pixels a period
    // Lines 30,000 pixels long, reaching far past the picture: 20,000 periods each.
    for (int y : {50, 100, 150}) {
        w.moveTo(QPoint(-15000, y));
        w.lineTo(QPoint(15000, y));
    }
    const QByteArray file = w.finish();
    const RenderedMetafile m = renderMetafile(file, 96, 96);
    ASSERT_TRUE(m.error.isEmpty()) << m.error.toStdString();
    EXPECT_NEAR(m.cost.dashPeriods, 2 * 20000, 400);
    // Pixels of the row where the line and the rows beside it are all white: the gaps.
    const auto gaps = [](const QImage& image, int y) {
        int n = 0;
        for (int x = 10; x < image.width() - 10; ++x)
            n += image.pixel(x, y - 1) == qRgb(255, 255, 255) && image.pixel(x, y) == qRgb(255, 255, 255)
                && image.pixel(x, y + 1) == qRgb(255, 255, 255);
        return n;
    };
    EXPECT_GT(gaps(m.image, 50), 50);
    EXPECT_GT(gaps(m.image, 100), 50);
    EXPECT_EQ(gaps(m.image, 150), 0);

    const MetafileDocument::Part part = document(file)->render(QRect(100, 120, 50, 50));
    EXPECT_EQ(part.cost.dashPeriods, m.cost.dashPeriods);
    EXPECT_EQ(gaps(part.image, 30), 0);
}
