#include "rasterformats.h"

#include "checkedmath.h"

#include <cstdlib>

namespace orv {

namespace {

quint32 le32(const QByteArray& b, int at)
{
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8 | quint32(uchar(b[at + 2])) << 16
        | quint32(uchar(b[at + 3])) << 24;
}

} // namespace

bool looksLikeJpeg(const QByteArray& head)
{
    return head.size() >= 3 && uchar(head[0]) == 0xFF && uchar(head[1]) == 0xD8 && uchar(head[2]) == 0xFF;
}

bool bitmapIsComplete(QIODevice& f)
{
    const QByteArray head = f.peek(54);
    if (head.size() < 30 || head[0] != 'B' || head[1] != 'M')
        return true;  // not a bitmap file: the reader decides
    const quint32 offset = le32(head, 10);
    const quint32 infoSize = le32(head, 14);
    if (infoSize < 40 || head.size() < 54)
        return true;
    const qint64 width = qint32(le32(head, 18));
    const qint64 height = std::abs(qint64(qint32(le32(head, 22))));
    const int bits = uchar(head[28]) | uchar(head[29]) << 8;
    const quint32 compression = le32(head, 30);
    if (compression != 0 && compression != 3)  // RLE and embedded formats carry their own ends
        return true;
    // 64-bit and checked: a header may claim 2^31 × 2^31 pixels of 65535 bits each.
    const std::optional<qint64> rowBits = checkedAdd(width * bits, 31);
    const std::optional<qint64> pixelBytes = rowBits ? checkedMul(*rowBits / 32 * 4, height) : std::nullopt;
    const std::optional<qint64> needed = pixelBytes ? checkedAdd(*pixelBytes, qint64(offset)) : std::nullopt;
    return needed && f.size() >= *needed;
}

bool looksLikeBitmapFile(const QByteArray& head)
{
    return head.size() >= 18 && head[0] == 'B' && head[1] == 'M';
}

bool looksLikeHeaderlessDib(const QByteArray& head)
{
    if (head.size() < 16)
        return false;
    const quint32 size = le32(head, 0);
    return size == 12 || (size >= 16 && size <= 64) || size == 108 || size == 124;
}

std::optional<GifLayout> gifLayout(QIODevice& file)
{
    if (!file.isOpen() || file.isSequential())
        return std::nullopt;
    const qint64 start = file.pos();
    auto done = [&](std::optional<GifLayout> result) {
        file.seek(start);
        return result;
    };
    const QByteArray head = file.read(13);
    if (head.size() < 13 || !head.startsWith("GIF"))
        return done(std::nullopt);
    auto u16 = [](const QByteArray& b, int at) { return int(uchar(b[at]) | (uchar(b[at + 1]) << 8)); };
    GifLayout layout;
    layout.screen = QSize(u16(head, 6), u16(head, 8));
    const int flags = uchar(head[10]);
    if (flags & 0x80)
        file.skip(3LL << ((flags & 7) + 1));
    // Extensions until the first image descriptor; each is a run of sized sub-blocks.
    for (int blocks = 0; blocks < 100000; ++blocks) {
        char kind = 0;
        if (!file.getChar(&kind))
            return done(std::nullopt);
        if (uchar(kind) == 0x2C) {
            const QByteArray d = file.read(8);
            if (d.size() < 8)
                return done(std::nullopt);
            layout.firstFrame = QRect(u16(d, 0), u16(d, 2), u16(d, 4), u16(d, 6));
            return done(layout);
        }
        if (uchar(kind) != 0x21 || !file.skip(1))
            return done(std::nullopt);
        for (;;) {
            char size = 0;
            if (!file.getChar(&size))
                return done(std::nullopt);
            if (!size)
                break;
            if (file.skip(uchar(size)) != uchar(size))
                return done(std::nullopt);
        }
    }
    return done(std::nullopt);
}

} // namespace orv
