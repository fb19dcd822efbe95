#pragma once

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>

#include <cstdint>
#include <span>

class QImage;

namespace orv {

// RIFF AVI 1.0 files: a Motion-JPEG video stream, an optional 16-bit PCM sound stream
// interleaved with it frame by frame, and the idx1 index. Frames are added one at a time and
// the file is put together by finish(), so only the compressed data is held.
class AviWriter
{
public:
    // audioChannels 0 makes a silent file. Settings out of range (frame size 1..4096, 1..120
    // frames per second, 0..8 channels, 1..192000 Hz, quality 0..100) make every call fail.
    AviWriter(QSize frameSize, int framesPerSecond, int audioChannels = 0, int audioRate = 0, int jpegQuality = 85);

    // Adds one picture of the frame size and the interleaved samples that play with it.
    // Returns false, with errorString() set, when the picture does not fit or cannot be
    // encoded, the samples are not whole frames, or the file would pass 1 GiB.
    bool addFrame(const QImage& frame, std::span<const std::int16_t> audio = {});

    // The whole file, or an empty array when no frame was added or a call failed.
    QByteArray finish();

    QString errorString() const { return error_; }

private:
    struct IndexEntry
    {
        QByteArray id;
        std::uint32_t offset;
        std::uint32_t size;
    };

    void addChunk(const QByteArray& id, const QByteArray& payload);

    QSize size_;
    int fps_;
    int channels_;
    int rate_;
    int quality_;
    QString error_;
    QByteArray movi_;   // the chunks of the movi list, without its header
    QList<IndexEntry> index_;
    std::uint32_t frames_ = 0;
    std::uint64_t audioFrames_ = 0;
    std::uint32_t largestVideo_ = 0;
    std::uint32_t largestAudio_ = 0;
};

} // namespace orv
