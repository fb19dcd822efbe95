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

} // namespace orv
