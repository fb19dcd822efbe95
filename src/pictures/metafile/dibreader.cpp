#include "dibreader.h"

#include <QBuffer>
#include <QImageReader>

#include <bit>

namespace orv {

namespace {

enum Compression : quint32 { BI_RGB = 0, BI_RLE8, BI_RLE4, BI_BITFIELDS, BI_JPEG, BI_PNG, BI_ALPHABITFIELDS };

struct Header
{
    qint64 width = 0;
    qint64 height = 0;
    bool topDown = false;
    int bpp = 0;
    quint32 compression = BI_RGB;
    quint32 masks[4] {};       // red, green, blue, alpha
    qint64 tableOffset = 0;    // where the colour table starts
    qint64 tableEntries = 0;   // entries stored
    int entrySize = 4;
};

bool readHeader(ByteReader r, Header& h)
{
    const quint32 size = r.u32();
    if (size == 12) {
        h.width = r.u16();
        h.height = r.u16();
        r.u16();
        h.bpp = r.u16();
        h.entrySize = 3;
        h.tableOffset = 12;
        h.tableEntries = h.bpp <= 8 ? (1 << h.bpp) : 0;
    } else if (size >= 40 && size <= 1024) {
        h.width = r.i32();
        const qint32 height = r.i32();
        r.u16();
        h.bpp = r.u16();
        h.compression = r.u32();
        r.skip(12);
        const quint32 used = r.u32();
        r.u32();
        h.tableOffset = size;
        if (size >= 52) {
            for (int i = 0; i < 3; ++i)
                h.masks[i] = r.u32();
        }
        if (size >= 56)
            h.masks[3] = r.u32();
        if (size == 40 && (h.compression == BI_BITFIELDS || h.compression == BI_ALPHABITFIELDS)) {
            const int n = h.compression == BI_BITFIELDS ? 3 : 4;
            for (int i = 0; i < n; ++i)
                h.masks[i] = r.u32();
            h.tableOffset += 4 * n;
        }
        h.tableEntries = used ? qint64(used) : (h.bpp <= 8 ? (1 << h.bpp) : 0);
        h.topDown = height < 0;
        h.height = height < 0 ? -qint64(height) : qint64(height);
    } else {
        return false;
    }
    if (!r.ok() || h.width <= 0 || h.height <= 0 || h.width * h.height > DibReader::maxPixels)
        return false;
    switch (h.bpp) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        break;
    case 0:
        return h.compression == BI_JPEG || h.compression == BI_PNG;
    default:
        return false;
    }
    return true;
}

QList<QRgb> colourTable(ByteReader info, const Header& h, bool paletteIndices, const QList<QRgb>& palette)
{
    QList<QRgb> table;
    if (h.bpp > 8)
        return table;
    const qint64 wanted = qint64(1) << h.bpp;
    const qint64 stored = std::min(h.tableEntries, wanted);
    info.seek(h.tableOffset);
    for (qint64 i = 0; i < stored; ++i) {
        QRgb colour;
        if (paletteIndices) {
            const quint16 index = info.u16();
            colour = index < palette.size() ? palette[index] : qRgb(index & 0xff, index & 0xff, index & 0xff);
        } else {
            const quint8 b = info.u8();
            const quint8 g = info.u8();
            const quint8 r = info.u8();
            if (h.entrySize == 4)
                info.u8();
            colour = qRgb(r, g, b);
        }
        if (!info.ok())
            break;
        table.append(colour);
    }
    // A bitmap without a usable table still shows its shapes: black and white, then greys.
    if (table.isEmpty() && h.bpp == 1)
        table = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    while (table.size() < wanted) {
        const int v = int(table.size() * 255 / (wanted - 1));
        table.append(qRgb(v, v, v));
    }
    return table;
}

int channel(quint32 pixel, quint32 mask)
{
    if (!mask)
        return -1;
    const int shift = std::countr_zero(mask);
    const quint32 max = mask >> shift;
    const quint32 v = (pixel & mask) >> shift;
    return max ? int((quint64(v) * 255 + max / 2) / max) : 0;
}

QImage fromIndices(const QByteArray& indices, const Header& h, const QList<QRgb>& table)
{
    QImage image(int(h.width), int(h.height), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(h.topDown ? y : image.height() - 1 - y));
        const auto* src = reinterpret_cast<const uchar*>(indices.constData()) + qint64(y) * h.width;
        for (int x = 0; x < image.width(); ++x)
            line[x] = src[x] < table.size() ? table[src[x]] : qRgb(0, 0, 0);
    }
    return image;
}

// RLE rows are stored bottom-up; the result holds one index per pixel, row 0 first as stored.
QByteArray decodeRle(ByteReader bits, const Header& h)
{
    const bool four = h.compression == BI_RLE4;
    QByteArray out(h.width * h.height, '\0');
    qint64 x = 0;
    qint64 y = 0;
    auto put = [&](quint8 v) {
        if (x < h.width && y < h.height)
            out[y * h.width + x] = char(v);
        ++x;
    };
    while (bits.has(2) && y < h.height) {
        const quint8 count = bits.u8();
        const quint8 value = bits.u8();
        if (count) {
            for (int i = 0; i < count; ++i)
                put(four ? ((i & 1) ? value & 0x0f : value >> 4) : value);
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            x += bits.u8();
            y += bits.u8();
        } else {
            const int bytes = four ? (value + 1) / 2 : value;
            if (!bits.has(bytes))
                break;
            quint8 pair = 0;
            for (int i = 0; i < value; ++i) {
                if (four) {
                    if (!(i & 1))
                        pair = bits.u8();
                    put((i & 1) ? pair & 0x0f : pair >> 4);
                } else {
                    put(bits.u8());
                }
            }
            if (bytes & 1)
                bits.skip(1);
        }
    }
    return out;
}

QSize embeddedSize(ByteReader bits)
{
    QByteArray bytes = QByteArray::fromRawData(bits.at(0, bits.size()), bits.size());
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer).size();
}

QImage decodeEmbedded(ByteReader bits)
{
    QByteArray bytes(bits.at(0, bits.size()), bits.size());
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > DibReader::maxPixels)
        return {};
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

QImage decodeRows(ByteReader bits, const Header& h, const QList<QRgb>& table, bool keepAlpha)
{
    const qint64 stride = (h.width * h.bpp + 31) / 32 * 4;
    const qint64 lastRow = (h.width * h.bpp + 7) / 8;
    if (bits.size() < stride * (h.height - 1) + lastRow)
        return {};
    quint32 masks[4] = {h.masks[0], h.masks[1], h.masks[2], h.masks[3]};
    const bool fields = h.compression == BI_BITFIELDS || h.compression == BI_ALPHABITFIELDS;
    if (!fields || !(masks[0] | masks[1] | masks[2])) {
        if (h.bpp == 16) {
            masks[0] = 0x7c00;
            masks[1] = 0x03e0;
            masks[2] = 0x001f;
        } else {
            masks[0] = 0xff0000;
            masks[1] = 0x00ff00;
            masks[2] = 0x0000ff;
        }
        masks[3] = keepAlpha && h.bpp == 32 ? 0xff000000u : 0;
    }
    const bool alpha = keepAlpha && masks[3];
    QImage image(int(h.width), int(h.height), alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const auto* base = reinterpret_cast<const uchar*>(bits.at(0, bits.size()));
    for (int y = 0; y < image.height(); ++y) {
        const uchar* row = base + stride * y;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(h.topDown ? y : image.height() - 1 - y));
        for (int x = 0; x < image.width(); ++x) {
            switch (h.bpp) {
            case 1:
                line[x] = table[(row[x >> 3] >> (7 - (x & 7))) & 1];
                break;
            case 4:
                line[x] = table[(x & 1) ? row[x >> 1] & 0x0f : row[x >> 1] >> 4];
                break;
            case 8:
                line[x] = table[row[x]];
                break;
            case 24:
                line[x] = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
                break;
            default: {
                const quint32 px = h.bpp == 16 ? quint32(row[2 * x] | (row[2 * x + 1] << 8))
                                               : quint32(row[4 * x]) | quint32(row[4 * x + 1]) << 8
                        | quint32(row[4 * x + 2]) << 16 | quint32(row[4 * x + 3]) << 24;
                const int a = alpha ? channel(px, masks[3]) : 255;
                line[x] = qRgba(std::max(0, channel(px, masks[0])), std::max(0, channel(px, masks[1])),
                                std::max(0, channel(px, masks[2])), a);
            }
            }
        }
    }
    return image;
}

} // namespace

DibReader::Result DibReader::decode(ByteReader info, ByteReader bits, bool paletteIndices, const QList<QRgb>& palette,
                                    bool keepAlpha)
{
    Result result;
    Header h;
    if (!info.ok() || !bits.ok() || !readHeader(info, h))
        return result;
    result.bottomUp = !h.topDown;
    result.monochrome = h.bpp == 1;
    if (h.compression == BI_JPEG || h.compression == BI_PNG) {
        result.image = decodeEmbedded(bits);
        result.bottomUp = false;
        return result;
    }
    const QList<QRgb> table = colourTable(info, h, paletteIndices, palette);
    if (h.compression == BI_RLE8 || h.compression == BI_RLE4) {
        if (h.topDown || h.bpp != (h.compression == BI_RLE8 ? 8 : 4))
            return result;
        result.image = fromIndices(decodeRle(bits, h), h, table);
        return result;
    }
    if (h.compression != BI_RGB && h.compression != BI_BITFIELDS && h.compression != BI_ALPHABITFIELDS)
        return result;
    result.image = decodeRows(bits, h, table, keepAlpha);
    return result;
}

qint64 DibReader::infoSize(ByteReader packed, bool paletteIndices)
{
    Header h;
    if (!readHeader(packed, h))
        return -1;
    // A palette-index table holds two bytes an entry.
    const int entrySize = paletteIndices && h.bpp <= 8 ? 2 : h.entrySize;
    const qint64 size = h.tableOffset + h.tableEntries * entrySize;
    return size <= packed.size() ? size : -1;
}

std::optional<DibReader::Claim> DibReader::claim(ByteReader info, ByteReader bits)
{
    Header h;
    if (!info.ok() || !bits.ok() || !readHeader(info, h))
        return std::nullopt;
    if (h.compression == BI_JPEG || h.compression == BI_PNG) {
        const QSize size = embeddedSize(bits);
        if (!size.isValid())
            return std::nullopt;
        return Claim {qint64(size.width()) * size.height(), true};
    }
    return Claim {h.width * h.height, h.compression == BI_RLE8 || h.compression == BI_RLE4};
}

DibReader::Result DibReader::decodePacked(ByteReader packed, bool paletteIndices, const QList<QRgb>& palette)
{
    const qint64 size = infoSize(packed, paletteIndices);
    if (size < 0)
        return {};
    return decode(packed.range(0, size), packed.range(size, packed.size() - size), paletteIndices, palette);
}

} // namespace orv
