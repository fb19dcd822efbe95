#include "dibreader.h"

#include "pictures/core/checkedmath.h"

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

// Older OS/2 headers run from 16 to 64 bytes; Windows's are 40, 52, 56, 108 or 124.
bool os2Header(quint32 size)
{
    return size >= 16 && size <= 64 && size != 40 && size != 52 && size != 56;
}

bool readHeader(ByteReader r, Header& h, qint64 pixelLimit = DibReader::maxPixels)
{
    const quint32 size = r.u32();
    if (os2Header(size)) {
        h.width = r.u32();
        h.height = r.u32();
        r.u16();
        h.bpp = r.u16();
        // OS/2 numbers its own compressions: 3 is Huffman coding and 4 RLE24, neither read here.
        h.compression = size >= 20 ? r.u32() : BI_RGB;
        if (h.compression > BI_RLE4)
            return false;
        quint32 used = 0;
        if (size >= 36) {
            r.skip(12);
            used = r.u32();
        }
        h.tableOffset = size;
        h.tableEntries = used ? qint64(used) : (h.bpp <= 8 ? (1 << h.bpp) : 0);
    } else if (size == 12) {
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
    // An OS/2 header's sizes are unsigned 32-bit: their product can pass 64 bits.
    const std::optional<qint64> pixels = checkedMul(h.width, h.height);
    if (!r.ok() || h.width <= 0 || h.height <= 0 || !pixels || *pixels > pixelLimit)
        return false;
    switch (h.bpp) {
    case 1: case 2: case 4: case 8: case 16: case 24: case 32:
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
    // Indices past a short table are black, as on a device.
    const bool none = table.isEmpty();
    if (none && h.bpp == 1)
        table = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    while (table.size() < wanted) {
        const int v = none ? int(table.size() * 255 / (wanted - 1)) : 0;
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

// Pixels a run-length bitmap leaves out (with a delta or an early end) are transparent, as
// they leave the device's pixels alone.
QImage fromIndices(const QByteArray& indices, const QByteArray& covered, const Header& h, const QList<QRgb>& table)
{
    const bool gaps = covered.contains('\0');
    QImage image(int(h.width), int(h.height), gaps ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        return {};
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(h.topDown ? y : image.height() - 1 - y));
        const auto* src = reinterpret_cast<const uchar*>(indices.constData()) + qint64(y) * h.width;
        const char* set = covered.constData() + qint64(y) * h.width;
        for (int x = 0; x < image.width(); ++x) {
            if (!set[x])
                line[x] = 0;
            else
                line[x] = src[x] < table.size() ? table[src[x]] : qRgb(0, 0, 0);
        }
    }
    return image;
}

// RLE rows are stored bottom-up; the result holds one index per pixel, row 0 first as stored.
QByteArray decodeRle(ByteReader bits, const Header& h, QByteArray* covered)
{
    const bool four = h.compression == BI_RLE4;
    QByteArray out(h.width * h.height, '\0');
    *covered = QByteArray(h.width * h.height, '\0');
    qint64 x = 0;
    qint64 y = 0;
    auto put = [&](quint8 v) {
        if (x < h.width && y < h.height) {
            out[y * h.width + x] = char(v);
            (*covered)[y * h.width + x] = 1;
        }
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

QImage decodeEmbedded(ByteReader bits, qint64 pixelLimit)
{
    QByteArray bytes(bits.at(0, bits.size()), bits.size());
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > pixelLimit)
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
            case 2:
                line[x] = table[(row[x >> 2] >> (6 - 2 * (x & 3))) & 3];
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

DibReader::Result decodeWith(ByteReader info, ByteReader bits, bool paletteIndices, const QList<QRgb>& palette, bool keepAlpha,
                             qint64 pixelLimit)
{
    DibReader::Result result;
    Header h;
    if (!info.ok() || !bits.ok() || !readHeader(info, h, pixelLimit))
        return result;
    result.bottomUp = !h.topDown;
    result.monochrome = h.bpp == 1;
    if (h.compression == BI_JPEG || h.compression == BI_PNG) {
        result.image = decodeEmbedded(bits, pixelLimit);
        result.bottomUp = false;
        return result;
    }
    const QList<QRgb> table = colourTable(info, h, paletteIndices, palette);
    if (h.compression == BI_RLE8 || h.compression == BI_RLE4) {
        if (h.topDown || h.bpp != (h.compression == BI_RLE8 ? 8 : 4))
            return result;
        QByteArray covered;
        const QByteArray indices = decodeRle(bits, h, &covered);
        result.image = fromIndices(indices, covered, h, table);
        return result;
    }
    if (h.compression != BI_RGB && h.compression != BI_BITFIELDS && h.compression != BI_ALPHABITFIELDS)
        return result;
    result.image = decodeRows(bits, h, table, keepAlpha);
    return result;
}

} // namespace

DibReader::Result DibReader::decode(ByteReader info, ByteReader bits, bool paletteIndices, const QList<QRgb>& palette,
                                    bool keepAlpha)
{
    return decodeWith(info, bits, paletteIndices, palette, keepAlpha, maxPixels);
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

std::optional<DibReader::Claim> DibReader::claim(ByteReader info, ByteReader bits, quint32 startScan, quint32 scanCount)
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
    const bool band = scanCount && startScan < quint64(h.height);
    const qint64 rows = band ? std::min<qint64>(scanCount, h.height - startScan) : h.height;
    return Claim {h.width * rows, h.compression == BI_RLE8 || h.compression == BI_RLE4};
}

DibReader::Result DibReader::decodePacked(ByteReader packed, bool paletteIndices, const QList<QRgb>& palette)
{
    const qint64 size = infoSize(packed, paletteIndices);
    if (size < 0)
        return {};
    return decode(packed.range(0, size), packed.range(size, packed.size() - size), paletteIndices, palette);
}

DibReader::Result DibReader::decodeBand(ByteReader info, ByteReader bits, bool paletteIndices, const QList<QRgb>& palette,
                                        quint32 startScan, quint32 scanCount)
{
    Header h;
    if (!info.ok() || !readHeader(info, h))
        return {};
    if (scanCount == 0 || startScan >= quint64(h.height) || h.compression == BI_JPEG || h.compression == BI_PNG)
        return decode(info, bits, paletteIndices, palette);
    // The same header with the band's height, in the same storage order.
    const qint64 rows = std::min<qint64>(scanCount, h.height - startScan);
    QByteArray patched(info.at(0, info.size()), info.size());
    const quint32 size = quint32(quint8(patched[0])) | quint32(quint8(patched[1])) << 8;
    if (size == 12) {
        patched[6] = char(rows & 0xff);
        patched[7] = char((rows >> 8) & 0xff);
    } else {
        const qint32 height = qint32(h.topDown ? -rows : rows);
        for (int i = 0; i < 4; ++i)
            patched[8 + i] = char((quint32(height) >> (8 * i)) & 0xff);
    }
    return decode(ByteReader(patched.constData(), patched.size()), bits, paletteIndices, palette);
}

DibReader::Result DibReader::decodeFile(ByteReader file, qint64 pixelLimit)
{
    const char* magic = file.at(0, 2);
    const bool fileHeader = magic && magic[0] == 'B' && magic[1] == 'M';
    const qint64 start = fileHeader ? 14 : 0;
    const ByteReader dib = file.range(start, file.size() - start);
    Header h;
    if (!dib.ok() || !readHeader(dib, h, pixelLimit))
        return {};
    const qint64 table = h.tableOffset + h.tableEntries * h.entrySize;
    // The file header says where the pixels start: some files leave a gap before them, others
    // keep a colour table shorter than their depth would have it.
    qint64 info = table;
    qint64 pixels = start + table;
    if (fileHeader) {
        ByteReader offset = file.range(10, 4);
        const qint64 declared = offset.u32();
        if (offset.ok() && declared >= start + h.tableOffset && declared < file.size()) {
            pixels = declared;
            info = std::min(info, declared - start);
        }
    }
    if (pixels > file.size())
        return {};
    const bool alpha = h.masks[3] != 0;
    Result result = decodeWith(dib.range(0, info), file.range(pixels, file.size() - pixels), false, {}, alpha, pixelLimit);
    if (alpha && result.image.hasAlphaChannel()) {
        bool visible = false;
        for (int y = 0; y < result.image.height() && !visible; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(result.image.constScanLine(y));
            for (int x = 0; x < result.image.width() && !visible; ++x)
                visible = qAlpha(line[x]) != 0;
        }
        if (!visible)
            result.image = result.image.convertToFormat(QImage::Format_RGB32);
    }
    return result;
}

} // namespace orv
