#pragma once

namespace orv {

// A source of sound for the shared audio output. render() runs on the audio thread: it must
// not block, allocate or take a lock another thread can hold for long.
class AudioStream {
public:
    virtual ~AudioStream() = default;
    // Fills up to `frames` interleaved stereo frames at the output's sample rate and returns
    // how many it wrote. Fewer than asked means the stream has ended; it is not called again.
    virtual int render(float* interleavedStereo, int frames) = 0;
};

} // namespace orv
