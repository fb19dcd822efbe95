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

    int sourceRate() const { return m_sourceRate; }
    int sourceChannels() const { return m_channels; }

private:
    // Reads the next block into m_pending as stereo; false at the end of the file.
    bool refill();

    struct File;
    std::unique_ptr<File> m_file;
    int m_sourceRate = 0;
    int m_channels = 0;
    int m_outputRate = 0;
    double m_step = 1.0;
    std::vector<float> m_raw;       // one block as read, all channels
    std::vector<float> m_leftGain;  // per source channel
    std::vector<float> m_rightGain;
    std::vector<float> m_pending;   // stereo source frames not yet consumed
    std::size_t m_pendingFrames = 0;
    double m_position = 0.0;        // read position in m_pending, in source frames
    bool m_atEnd = false;
};

} // namespace orv
