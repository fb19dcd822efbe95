#pragma once

#include <QByteArray>

#include <cstdint>
#include <span>

namespace orv {

// RIFF WAVE files holding 16-bit PCM: the canonical 44-byte header, then the samples.
class WavWriter
{
public:
    // frames are interleaved, channel 0 first. Returns the whole file, or an empty array when
    // channels is not 1..8, the rate is not 1..384000 Hz, the sample count is not a whole number
    // of frames or the data would overflow the 32-bit RIFF sizes.
    static QByteArray encodePcm16(std::span<const std::int16_t> frames, int channels, int sampleRate);
};

} // namespace orv
