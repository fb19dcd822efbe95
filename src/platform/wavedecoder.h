#pragma once

#include <QString>

#include <memory>
#include <vector>

namespace orv {

// Reads a wave file (any encoding libsndfile knows: PCM 8-32 bit, float, IMA and MS ADPCM,
// µ-law, A-law) as float stereo at a chosen rate, a block at a time so a file of any length
// costs the same small memory. Mono plays on both sides; more channels fold down to two.
// Resampling is linear. Not thread-safe; one reader per decoder.
class WaveDecoder {
public:
    WaveDecoder();
    ~WaveDecoder();
    WaveDecoder(const WaveDecoder&) = delete;
    WaveDecoder& operator=(const WaveDecoder&) = delete;

    // False when the path is not a regular file libsndfile can read, or outputRate is not
    // 1..768000 Hz.
    bool open(const QString& path, int outputRate);
    // Writes up to `frames` interleaved stereo frames; fewer means the sound ended (or the
    // rest of the file is unreadable).
    int read(float* interleavedStereo, int frames);

    int sourceRate() const { return sourceRate_; }
    int sourceChannels() const { return channels_; }

private:
    // Reads the next block into pending_ as stereo; false at the end of the file.
    bool refill();

    struct File;
    std::unique_ptr<File> file_;
    int sourceRate_ = 0;
    int channels_ = 0;
    int outputRate_ = 0;
    double step_ = 1.0;
    std::vector<float> raw_;       // one block as read, all channels
    std::vector<float> leftGain_;  // per source channel
    std::vector<float> rightGain_;
    std::vector<float> pending_;   // stereo source frames not yet consumed
    std::size_t pendingFrames_ = 0;
    double position_ = 0.0;        // read position in pending_, in source frames
    bool atEnd_ = false;
};

} // namespace orv
