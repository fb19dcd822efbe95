#pragma once

#include "platform/audiostream.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace orv {

// A wave file played as an audio stream. A thread of its own opens and decodes the file into
// a ring of about a third of a second, which the audio thread drains without locks; so the
// caller never waits for the file and memory stays the same for any length. A file that
// cannot be read is an empty stream. Destruction stops and joins the decoding thread.
class WaveStream final : public AudioStream {
public:
    WaveStream(const QString& path, int outputRate);
    ~WaveStream() override;
    WaveStream(const WaveStream&) = delete;
    WaveStream& operator=(const WaveStream&) = delete;

    int render(float* interleavedStereo, int frames) override;

    // True once the decoder has reached the end of the file (or found it unreadable).
    bool decodingDone() const { return m_decoded.load(std::memory_order_acquire); }

private:
    void decode(const QString& path, int outputRate);

    static constexpr std::size_t RingFrames = 16384;   // a power of two
    std::vector<float> m_ring;
    std::atomic<std::size_t> m_written {0};  // frames ever written; the decoder advances it
    std::atomic<std::size_t> m_read {0};     // frames ever read; the audio thread advances it
    std::atomic<bool> m_decoded {false};
    std::atomic<bool> m_quit {false};
    std::mutex m_wakeMutex;
    std::condition_variable m_wake;
    std::thread m_thread;
};

} // namespace orv
