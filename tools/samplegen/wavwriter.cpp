#include "wavwriter.h"

#include "bytewriter.h"

#include <limits>

namespace orv {

QByteArray WavWriter::encodePcm16(std::span<const std::int16_t> frames, int channels, int sampleRate)
{
    if (channels < 1 || channels > 8 || sampleRate < 1 || sampleRate > 384000)
        return {};
    if (frames.size() % std::size_t(channels) != 0)
        return {};
    const std::uint64_t dataBytes = std::uint64_t(frames.size()) * 2;
    if (dataBytes + 36 > std::numeric_limits<std::uint32_t>::max() / 2)
        return {};

    const std::uint32_t blockAlign = std::uint32_t(channels) * 2;
    ByteWriter out(qsizetype(44 + dataBytes));
    out.bytes(QByteArrayLiteral("RIFF"));
    out.le32(std::uint32_t(36 + dataBytes));
    out.bytes(QByteArrayLiteral("WAVE"));
    out.bytes(QByteArrayLiteral("fmt "));
    out.le32(16);
    out.le16(1);   // PCM
    out.le16(std::uint32_t(channels));
    out.le32(std::uint32_t(sampleRate));
    out.le32(std::uint32_t(sampleRate) * blockAlign);
    out.le16(blockAlign);
    out.le16(16);
    out.bytes(QByteArrayLiteral("data"));
    out.le32(std::uint32_t(dataBytes));
    for (const std::int16_t s : frames)
        out.le16(std::uint16_t(s));
    return out.take();
}

} // namespace orv
