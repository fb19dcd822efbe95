#include "wavestream.h"

#include "wavedecoder.h"

#include <memory>

namespace orv {

namespace {

constexpr std::size_t RingFrames = 16384;  // about a third of a second

// Opens the file on the decoding thread at its first block, so the caller never waits for it.
DecodedRing::Producer waveProducer(const QString& path, int outputRate)
{
    auto decoder = std::make_shared<WaveDecoder>();
    auto state = std::make_shared<int>(0);  // 0 not yet opened, 1 open, -1 unreadable
    return [path, outputRate, decoder, state](float* out, int frames) {
        if (*state == 0)
            *state = decoder->open(path, outputRate) ? 1 : -1;
        return *state == 1 ? decoder->read(out, frames) : 0;
    };
}

} // namespace

WaveStream::WaveStream(const QString& path, int outputRate) : ring_(RingFrames, waveProducer(path, outputRate)) {}

} // namespace orv
