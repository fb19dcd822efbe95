#include "aviwriter.h"

#include "bytewriter.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <algorithm>

namespace orv {

namespace {

constexpr std::uint32_t AvifHasIndex = 0x10;
constexpr std::uint32_t AvifIsInterleaved = 0x100;
constexpr std::uint32_t AviifKeyframe = 0x10;
constexpr qsizetype MaxFileBytes = qsizetype(1) << 30;

QByteArray list(const QByteArray& type, const QByteArray& content)
{
    ByteWriter out(content.size() + 12);
    out.bytes(QByteArrayLiteral("LIST"));
    out.le32(std::uint32_t(content.size() + 4));
    out.bytes(type);
    out.bytes(content);
    return out.take();
}

QByteArray chunk(const QByteArray& id, const QByteArray& content)
{
    ByteWriter out(content.size() + 9);
    out.bytes(id);
    out.le32(std::uint32_t(content.size()));
    out.bytes(content);
    if (content.size() % 2)
        out.u8(0);
    return out.take();
}

// The 56-byte AVISTREAMHEADER.
QByteArray streamHeader(const QByteArray& type, const QByteArray& handler, std::uint32_t scale, std::uint32_t rate,
                        std::uint32_t length, std::uint32_t bufferSize, std::uint32_t sampleSize, QSize frame)
{
    ByteWriter out(56);
    out.bytes(type);
    out.bytes(handler);
    out.le32(0);             // flags
    out.le16(0);             // priority
    out.le16(0);             // language
    out.le32(0);             // initial frames
    out.le32(scale);
    out.le32(rate);
    out.le32(0);             // start
    out.le32(length);
    out.le32(bufferSize);
    out.le32(0xffffffffu);   // quality: the default
    out.le32(sampleSize);
    out.le16(0);
    out.le16(0);
    out.le16(std::uint32_t(frame.width()));
    out.le16(std::uint32_t(frame.height()));
    return out.take();
}

} // namespace

AviWriter::AviWriter(QSize frameSize, int framesPerSecond, int audioChannels, int audioRate, int jpegQuality)
    : size_(frameSize),
      fps_(framesPerSecond),
      channels_(audioChannels),
      rate_(audioRate),
      quality_(jpegQuality)
{
    const bool sizeOk = frameSize.width() >= 1 && frameSize.height() >= 1 && frameSize.width() <= 4096
        && frameSize.height() <= 4096;
    const bool audioOk = audioChannels == 0 || (audioChannels <= 8 && audioRate >= 1 && audioRate <= 192000);
    if (!sizeOk || framesPerSecond < 1 || framesPerSecond > 120 || audioChannels < 0 || !audioOk
        || jpegQuality < 0 || jpegQuality > 100)
        error_ = QStringLiteral("unsupported video settings");
}

void AviWriter::addChunk(const QByteArray& id, const QByteArray& payload)
{
    // Offsets count from the "movi" type field, as most readers expect.
    index_.append({id, std::uint32_t(4 + movi_.size()), std::uint32_t(payload.size())});
    movi_.append(chunk(id, payload));
}

bool AviWriter::addFrame(const QImage& frame, std::span<const std::int16_t> audio)
{
    if (!error_.isEmpty())
        return false;
    if (frame.size() != size_) {
        error_ = QStringLiteral("frame %1 is not %2 x %3").arg(frames_).arg(size_.width()).arg(size_.height());
        return false;
    }
    if (!audio.empty() && (channels_ == 0 || audio.size() % std::size_t(channels_) != 0)) {
        error_ = QStringLiteral("the sound of frame %1 is not whole sample frames").arg(frames_);
        return false;
    }

    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpg");
    writer.setQuality(quality_);
    if (!writer.write(frame.convertToFormat(QImage::Format_RGB32))) {
        error_ = QStringLiteral("could not encode frame %1: %2").arg(frames_).arg(writer.errorString());
        return false;
    }
    if (movi_.size() + jpeg.size() + qsizetype(audio.size_bytes()) + 4096 + 16 * (index_.size() + 2) > MaxFileBytes) {
        error_ = QStringLiteral("the file would pass 1 GiB");
        return false;
    }

    addChunk(QByteArrayLiteral("00dc"), jpeg);
    largestVideo_ = std::max(largestVideo_, std::uint32_t(jpeg.size()));
    if (!audio.empty()) {
        ByteWriter pcm(qsizetype(audio.size_bytes()));
        for (const std::int16_t s : audio)
            pcm.le16(std::uint16_t(s));
        addChunk(QByteArrayLiteral("01wb"), pcm.data());
        largestAudio_ = std::max(largestAudio_, std::uint32_t(audio.size_bytes()));
        audioFrames_ += audio.size() / std::size_t(channels_);
    }
    ++frames_;
    return true;
}

QByteArray AviWriter::finish()
{
    if (!error_.isEmpty())
        return {};
    if (frames_ == 0) {
        error_ = QStringLiteral("no frames");
        return {};
    }

    const bool sound = channels_ > 0;
    const std::uint32_t blockAlign = std::uint32_t(channels_) * 2;
    const std::uint32_t width = std::uint32_t(size_.width());
    const std::uint32_t height = std::uint32_t(size_.height());

    ByteWriter avih(56);
    avih.le32(std::uint32_t(1000000 / fps_));
    avih.le32(largestVideo_ * std::uint32_t(fps_) + std::uint32_t(rate_) * blockAlign);
    avih.le32(0);   // padding granularity
    avih.le32(AvifHasIndex | AvifIsInterleaved);
    avih.le32(frames_);
    avih.le32(0);   // initial frames
    avih.le32(sound ? 2 : 1);
    avih.le32(std::max(largestVideo_, largestAudio_));
    avih.le32(width);
    avih.le32(height);
    avih.zeros(16);

    ByteWriter bitmapInfo(40);
    bitmapInfo.le32(40);
    bitmapInfo.le32(width);
    bitmapInfo.le32(height);
    bitmapInfo.le16(1);    // planes
    bitmapInfo.le16(24);   // bits per pixel once decoded
    bitmapInfo.bytes(QByteArrayLiteral("MJPG"));
    bitmapInfo.le32(width * height * 3);
    bitmapInfo.zeros(16);

    QByteArray headers = chunk(QByteArrayLiteral("avih"), avih.data());
    headers += list(QByteArrayLiteral("strl"),
                    chunk(QByteArrayLiteral("strh"),
                          streamHeader(QByteArrayLiteral("vids"), QByteArrayLiteral("MJPG"), 1, std::uint32_t(fps_),
                                       frames_, largestVideo_, 0, size_))
                        + chunk(QByteArrayLiteral("strf"), bitmapInfo.data()));
    if (sound) {
        ByteWriter wave(18);
        wave.le16(1);   // PCM
        wave.le16(std::uint32_t(channels_));
        wave.le32(std::uint32_t(rate_));
        wave.le32(std::uint32_t(rate_) * blockAlign);
        wave.le16(blockAlign);
        wave.le16(16);
        wave.le16(0);   // no extra format bytes
        headers += list(QByteArrayLiteral("strl"),
                        chunk(QByteArrayLiteral("strh"),
                              streamHeader(QByteArrayLiteral("auds"), QByteArray(4, '\0'), blockAlign,
                                           std::uint32_t(rate_) * blockAlign, std::uint32_t(audioFrames_),
                                           largestAudio_, blockAlign, QSize(0, 0)))
                            + chunk(QByteArrayLiteral("strf"), wave.data()));
    }

    ByteWriter index(16 * index_.size());
    for (const IndexEntry& e : index_) {
        index.bytes(e.id);
        index.le32(AviifKeyframe);
        index.le32(e.offset);
        index.le32(e.size);
    }

    const QByteArray body = list(QByteArrayLiteral("hdrl"), headers) + list(QByteArrayLiteral("movi"), movi_)
        + chunk(QByteArrayLiteral("idx1"), index.data());
    ByteWriter out(body.size() + 12);
    out.bytes(QByteArrayLiteral("RIFF"));
    out.le32(std::uint32_t(body.size() + 4));
    out.bytes(QByteArrayLiteral("AVI "));
    out.bytes(body);
    return out.take();
}

} // namespace orv
