#include "icowriter.h"

#include "bytewriter.h"

#include <QBuffer>
#include <QImageWriter>

namespace orv {

namespace {

QByteArray bmpPayload(const QImage& image)
{
    const QImage src = image.convertToFormat(QImage::Format_ARGB32);
    const int w = src.width();
    const int h = src.height();
    const int maskStride = ((w + 31) / 32) * 4;
    ByteWriter out(40 + w * h * 4 + maskStride * h);
    out.le32(40);
    out.le32(std::uint32_t(w));
    out.le32(std::uint32_t(h * 2));   // colour rows plus mask rows
    out.le16(1);
    out.le16(32);
    out.le32(0);
    out.le32(std::uint32_t(w * h * 4 + maskStride * h));
    out.le32(0);
    out.le32(0);
    out.le32(0);
    out.le32(0);
    for (int y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            out.u8(std::uint32_t(qBlue(line[x])));
            out.u8(std::uint32_t(qGreen(line[x])));
            out.u8(std::uint32_t(qRed(line[x])));
            out.u8(std::uint32_t(qAlpha(line[x])));
        }
    }
    // The AND mask still matters to readers that ignore the alpha byte.
    for (int y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < w; ++x) {
            if (qAlpha(line[x]) < 128)
                row[x / 8] = char(static_cast<uchar>(row[x / 8]) | (0x80u >> (x % 8)));
        }
        out.bytes(row);
    }
    return out.take();
}

QByteArray pngPayload(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image.convertToFormat(QImage::Format_ARGB32)))
        return {};
    return bytes;
}

} // namespace

QByteArray IcoWriter::encode(const QList<Entry>& entries, Kind kind)
{
    if (entries.isEmpty() || entries.size() > 255)
        return {};
    QList<QByteArray> payloads;
    for (const Entry& entry : entries) {
        const QSize size = entry.image.size();
        if (entry.image.isNull() || size.width() > 256 || size.height() > 256)
            return {};
        payloads.append(entry.payload == Payload::Png ? pngPayload(entry.image) : bmpPayload(entry.image));
        if (payloads.back().isEmpty())
            return {};
    }

    ByteWriter out;
    out.le16(0);
    out.le16(std::uint32_t(kind));
    out.le16(std::uint32_t(entries.size()));
    std::uint32_t offset = 6 + 16 * std::uint32_t(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        out.u8(std::uint32_t(entry.image.width() & 0xff));    // 256 is written as 0
        out.u8(std::uint32_t(entry.image.height() & 0xff));
        out.u8(0);   // not a palette picture
        out.u8(0);
        if (kind == Kind::Cursor) {
            out.le16(std::uint32_t(qBound(0, entry.hotspot.x(), entry.image.width() - 1)));
            out.le16(std::uint32_t(qBound(0, entry.hotspot.y(), entry.image.height() - 1)));
        } else {
            out.le16(1);    // planes
            out.le16(32);   // bits per pixel
        }
        out.le32(std::uint32_t(payloads[i].size()));
        out.le32(offset);
        offset += std::uint32_t(payloads[i].size());
    }
    for (const QByteArray& payload : payloads)
        out.bytes(payload);
    return out.take();
}

} // namespace orv
