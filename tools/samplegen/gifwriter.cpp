#include "gifwriter.h"

#include "bytewriter.h"

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

namespace orv {

namespace {

constexpr int maxCodes = 4096;

// Packs codes least significant bit first, as GIF streams are read.
class BitPacker
{
public:
    void put(int code, int width)
    {
        buffer_ |= std::uint32_t(code) << bits_;
        bits_ += width;
        while (bits_ >= 8) {
            out_.append(char(buffer_ & 0xffu));
            buffer_ >>= 8;
            bits_ -= 8;
        }
    }
    QByteArray finish()
    {
        if (bits_ > 0)
            out_.append(char(buffer_ & 0xffu));
        bits_ = 0;
        buffer_ = 0;
        return std::move(out_);
    }

private:
    QByteArray out_;
    std::uint32_t buffer_ = 0;
    int bits_ = 0;
};

// (prefix code, next pixel) -> code, open addressing at under half load so probes stay short.
class CodeTable
{
public:
    CodeTable() { clear(); }
    void clear() { std::fill(keys_.begin(), keys_.end(), -1); }
    int find(int prefix, int pixel) const
    {
        const int key = (prefix << 8) | pixel;
        for (std::size_t slot = hash(key);; slot = (slot + 1) & mask) {
            if (keys_[slot] == key)
                return codes_[slot];
            if (keys_[slot] < 0)
                return -1;
        }
    }
    void insert(int prefix, int pixel, int code)
    {
        const int key = (prefix << 8) | pixel;
        std::size_t slot = hash(key);
        while (keys_[slot] >= 0)
            slot = (slot + 1) & mask;
        keys_[slot] = key;
        codes_[slot] = std::int16_t(code);
    }

private:
    static constexpr std::size_t size = 8192;
    static constexpr std::size_t mask = size - 1;
    static std::size_t hash(int key) { return (std::uint32_t(key) * 2654435761u >> 19) & mask; }
    std::array<int, size> keys_ {};
    std::array<std::int16_t, size> codes_ {};
};

int bitsFor(int colours)
{
    int bits = 1;
    while ((1 << bits) < colours)
        ++bits;
    return bits;
}

} // namespace

QByteArray GifWriter::compress(const QByteArray& pixels, int minCodeSize)
{
    if (minCodeSize < 2 || minCodeSize > 8)
        return {};
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    for (const char p : pixels) {
        if (static_cast<uchar>(p) >= clearCode)
            return {};
    }

    BitPacker bits;
    auto table = std::make_unique<CodeTable>();
    int codeSize = minCodeSize + 1;
    int nextCode = endCode + 1;
    // Widens the code after writing one whose successor would not fit, exactly when a
    // decoder widens after reading it, including after the last pixel code.
    const auto writeCode = [&](int code) {
        bits.put(code, codeSize);
        if (nextCode >= (1 << codeSize) && codeSize < 12)
            ++codeSize;
    };

    bits.put(clearCode, codeSize);
    if (!pixels.isEmpty()) {
        int prefix = static_cast<uchar>(pixels[0]);
        for (qsizetype i = 1; i < pixels.size(); ++i) {
            const int pixel = static_cast<uchar>(pixels[i]);
            const int found = table->find(prefix, pixel);
            if (found >= 0) {
                prefix = found;
                continue;
            }
            writeCode(prefix);
            if (nextCode < maxCodes) {
                table->insert(prefix, pixel, nextCode++);
            } else {
                bits.put(clearCode, codeSize);
                table->clear();
                codeSize = minCodeSize + 1;
                nextCode = endCode + 1;
            }
            prefix = pixel;
        }
        writeCode(prefix);
    }
    bits.put(endCode, codeSize);
    return bits.finish();
}

QByteArray GifWriter::encode(const IndexedImage& image)
{
    if (!image.isValid() || image.width > 0xffff || image.height > 0xffff)
        return {};
    const int tableBits = bitsFor(int(image.palette.size()));
    const int minCodeSize = std::max(2, tableBits);
    const QByteArray lzw = compress(image.pixels, minCodeSize);

    ByteWriter out(lzw.size() + lzw.size() / 255 + 800);
    out.bytes(QByteArrayLiteral("GIF89a"));
    out.le16(std::uint32_t(image.width));
    out.le16(std::uint32_t(image.height));
    out.u8(0x80u | std::uint32_t((tableBits - 1) << 4) | std::uint32_t(tableBits - 1));
    out.u8(0);   // background colour index
    out.u8(0);   // square pixels
    for (int i = 0; i < (1 << tableBits); ++i) {
        const QRgb c = i < image.palette.size() ? image.palette[i] : 0;
        out.u8(std::uint32_t(qRed(c)));
        out.u8(std::uint32_t(qGreen(c)));
        out.u8(std::uint32_t(qBlue(c)));
    }
    out.u8(0x2c);
    out.le16(0);
    out.le16(0);
    out.le16(std::uint32_t(image.width));
    out.le16(std::uint32_t(image.height));
    out.u8(0);   // no local table, not interlaced
    out.u8(std::uint32_t(minCodeSize));
    for (qsizetype at = 0; at < lzw.size(); at += 255) {
        const qsizetype n = std::min<qsizetype>(255, lzw.size() - at);
        out.u8(std::uint32_t(n));
        out.bytes(lzw.mid(at, n));
    }
    out.u8(0);
    out.u8(0x3b);
    return out.take();
}

} // namespace orv
