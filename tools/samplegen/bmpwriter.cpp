#include "bmpwriter.h"

#include "bytewriter.h"

#include <limits>

namespace orv {

namespace {

constexpr int fileHeaderSize = 14;
constexpr int infoHeaderSize = 40;
constexpr std::uint32_t pixelsPerMetre = 2835;   // 72 dpi

qint64 stride(int width, int bitsPerPixel)
{
    return ((qint64(width) * bitsPerPixel + 31) / 32) * 4;
}

void writeHeaders(ByteWriter& out, int width, int height, int bitsPerPixel, int colours, qint64 imageSize)
{
    const qint64 offset = fileHeaderSize + infoHeaderSize + qint64(colours) * 4;
    out.u8('B');
    out.u8('M');
    out.le32(std::uint32_t(offset + imageSize));
    out.le32(0);
    out.le32(std::uint32_t(offset));
    out.le32(infoHeaderSize);
    out.le32(std::uint32_t(width));
    out.le32(std::uint32_t(height));   // positive: bottom-up rows
    out.le16(1);
    out.le16(std::uint32_t(bitsPerPixel));
    out.le32(0);                       // BI_RGB
    out.le32(std::uint32_t(imageSize));
    out.le32(pixelsPerMetre);
    out.le32(pixelsPerMetre);
    out.le32(std::uint32_t(colours));
    out.le32(0);
}

bool fits(int width, int height, int bitsPerPixel)
{
    if (width <= 0 || height <= 0)
        return false;
    const qint64 bytes = stride(width, bitsPerPixel) * height + 2048;
    return bytes < qint64(std::numeric_limits<std::int32_t>::max());
}

} // namespace

QByteArray BmpWriter::encodeRgb24(const QImage& image)
{
    if (image.isNull() || !fits(image.width(), image.height(), 24))
        return {};
    const QImage src = image.convertToFormat(QImage::Format_RGB32);
    const qint64 rowBytes = stride(src.width(), 24);
    const qint64 imageSize = rowBytes * src.height();
    ByteWriter out(qsizetype(fileHeaderSize + infoHeaderSize + imageSize));
    writeHeaders(out, src.width(), src.height(), 24, 0, imageSize);
    const qsizetype padding = qsizetype(rowBytes - qint64(src.width()) * 3);
    for (int y = src.height() - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            out.u8(std::uint32_t(qBlue(line[x])));
            out.u8(std::uint32_t(qGreen(line[x])));
            out.u8(std::uint32_t(qRed(line[x])));
        }
        out.zeros(padding);
    }
    return out.take();
}

QByteArray BmpWriter::encodeIndexed8(const IndexedImage& image)
{
    if (!image.isValid() || !fits(image.width, image.height, 8))
        return {};
    const qint64 rowBytes = stride(image.width, 8);
    const qint64 imageSize = rowBytes * image.height;
    ByteWriter out(qsizetype(fileHeaderSize + infoHeaderSize + 1024 + imageSize));
    writeHeaders(out, image.width, image.height, 8, 256, imageSize);
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < image.palette.size() ? image.palette[i] : 0;
        out.u8(std::uint32_t(qBlue(c)));
        out.u8(std::uint32_t(qGreen(c)));
        out.u8(std::uint32_t(qRed(c)));
        out.u8(0);
    }
    const qsizetype padding = qsizetype(rowBytes - image.width);
    for (int y = image.height - 1; y >= 0; --y) {
        out.bytes(image.pixels.mid(qsizetype(y) * image.width, image.width));
        out.zeros(padding);
    }
    return out.take();
}

} // namespace orv
