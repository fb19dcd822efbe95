#include "picturefuzzing.h"

#include "pictures/metafile.h"
#include "pictures/metafile/dibreader.h"
#include "pictures/metafile/renderbudget.h"
#include "pictures/pictureloader.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

namespace orv::fuzzing {

QString checkMetafile(const QByteArray& bytes, MetafileCost* cost, MetafileBudget budget)
{
    QString why;
    const std::shared_ptr<const MetafileDocument> doc = MetafileDocument::open(bytes, 96, 96, &why);
    if (!doc)
        return why.isEmpty() ? QStringLiteral("refused without a reason") : QString();
    const QSize size = doc->size();
    if (size.isEmpty() || size.width() > 1000000 || size.height() > 1000000)
        return QStringLiteral("opened with an impossible size");
    RenderBudget::Limits limits = RenderBudget::limitsFor(size, bytes.size());
    if (budget == MetafileBudget::Fuzzing) {
        // A huge picture's budget lets each part do what the whole picture may: the two small
        // parts need far less.
        limits.work = std::min(limits.work / 64, 64.0 * 1024 * 1024);
        limits.bitmapPixels /= 64;
        limits.freeBitmapPixels /= 64;
    }
    const QRect parts[] = {QRect(0, 0, 256, 256), QRect(size.width() / 2 - 48, size.height() / 2 - 48, 96, 96)};
    QString firstError;
    qint64 firstRecords = -1;
    for (const QRect& wanted : parts) {
        const QRect part = wanted.intersected(QRect(QPoint(), size));
        if (part.isEmpty())
            continue;
        const MetafileDocument::Part p = doc->render(part, limits);
        if (cost) {
            cost->work += p.cost.surfaceWork;
            cost->counted += p.cost.work;
            cost->rasterised += p.cost.rasterised;
            cost->dashPeriods += p.cost.dashPeriods;
            cost->bitmapPixels += p.cost.bitmapPixels;
            cost->records += p.cost.records;
        }
        if (p.image.isNull() == p.error.isEmpty())
            return QStringLiteral("a part came with both an image and an error, or neither");
        if (!p.image.isNull() && p.image.size() != part.size())
            return QStringLiteral("a part came out at the wrong size");
        if (p.cost.work > limits.work || p.cost.bitmapPixels > limits.bitmapPixels)
            return QStringLiteral("a part went past its budget");
        if (firstRecords < 0) {
            firstError = p.error;
            firstRecords = p.cost.records;
        } else if (p.error != firstError || p.cost.records != firstRecords) {
            return QStringLiteral("two parts of one picture disagree: %1 records (%2), %3 records (%4)")
                .arg(firstRecords).arg(firstError).arg(p.cost.records).arg(p.error);
        }
    }
    return {};
}

namespace {

QString checkDibOnce(ByteReader packed, bool paletteIndices, const QList<QRgb>& palette)
{
    const qint64 infoSize = DibReader::infoSize(packed, paletteIndices);
    // Within the budget of a screen-sized metafile, as the players decode: a run-length bitmap
    // claiming millions of pixels in a few bytes is left out, not decoded.
    RenderBudget budget(RenderBudget::limitsFor(QSize(1024, 768), packed.size()));
    const DibReader::Result whole = decodePackedWithin(budget, true, packed, paletteIndices, palette);
    if (infoSize < 0)
        return whole.image.isNull() ? QString() : QStringLiteral("an unreadable header decoded");
    const ByteReader info = packed.range(0, infoSize);
    const ByteReader bits = packed.range(infoSize, packed.size() - infoSize);
    const std::optional<DibReader::Claim> claim = DibReader::claim(info, bits);
    if (whole.image.isNull())
        return {};
    if (!claim)
        return QStringLiteral("decoded a bitmap whose claim could not be read");
    const qint64 pixels = qint64(whole.image.width()) * whole.image.height();
    if (pixels != claim->pixels)
        return QStringLiteral("claimed %1 pixels, decoded %2").arg(claim->pixels).arg(pixels);
    if (pixels > DibReader::maxPixels)
        return QStringLiteral("decoded more than the pixel limit");
    const DibReader::Result alpha = DibReader::decode(info, bits, paletteIndices, palette, true);
    if (alpha.image.size() != whole.image.size())
        return QStringLiteral("keeping alpha changed the size");
    return {};
}

} // namespace

QString checkDib(const QByteArray& bytes)
{
    const qsizetype skip = bytes.startsWith("BM") && bytes.size() >= 14 ? 14 : 0;
    const ByteReader packed(bytes.constData() + skip, bytes.size() - skip);
    QList<QRgb> palette;
    for (int i = 0; i < 16; ++i)
        palette.append(qRgb(i * 16, 255 - i * 16, i * 8));
    // The colour table read as colours, or as indices into a palette, as the last byte says.
    const bool indices = !bytes.isEmpty() && (bytes.back() & 1);
    return checkDibOnce(packed, indices, palette);
}

QString checkPictureFile(const QByteArray& bytes)
{
    static QTemporaryDir dir;
    if (!dir.isValid())
        return QStringLiteral("no temporary folder");
    const char* suffix = "bmp";
    if (bytes.startsWith(QByteArray("\0\0\1\0", 4)))
        suffix = "ico";
    else if (bytes.startsWith(QByteArray("\0\0\2\0", 4)))
        suffix = "cur";
    else if (bytes.startsWith("GIF8"))
        suffix = "gif";
    else if (bytes.startsWith("\xff\xd8"))
        suffix = "jpg";
    const QString path = dir.filePath(QStringLiteral("input.") + QLatin1String(suffix));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            return QStringLiteral("cannot write the input");
    }
    constexpr qint64 maxPixels = 4 * 1024 * 1024;
    // Sixteen rows in the foreground: the rest of a JPEG comes from the worker thread.
    QtPictureLoader loader(96, 96, maxPixels, 16, -1);
    const PictureResult r = loader.load(path);
    if (!r.ok())
        return r.error.isEmpty() ? QStringLiteral("refused without a reason") : QString();
    if (r.picture.completion)
        r.picture.completion->waitUntilDone();
    const QSize size = r.picture.size();
    if (size.isEmpty() || qint64(size.width()) * size.height() > maxPixels)
        return QStringLiteral("a picture of %1 x %2 pixels").arg(size.width()).arg(size.height());
    if (r.picture.himetric != himetricForPixels(size, 96, 96))
        return QStringLiteral("the HIMETRIC size is not that of the pixels");
    if (r.picture.rowsReady() != size.height())
        return QStringLiteral("rows missing once finished");
    return {};
}

} // namespace orv::fuzzing
