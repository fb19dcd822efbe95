#include "wavestream.h"

#include "wavedecoder.h"

#include <algorithm>
#include <chrono>

namespace orv {

namespace {

constexpr int BlockFrames = 1024;

} // namespace

WaveStream::WaveStream(const QString& path, int outputRate)
    : m_ring(RingFrames * 2, 0.0f)
{
    m_thread = std::thread([this, path, outputRate] { decode(path, outputRate); });
}

WaveStream::~WaveStream()
{
    {
        std::lock_guard lock(m_wakeMutex);
        m_quit = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void WaveStream::decode(const QString& path, int outputRate)
{
    WaveDecoder decoder;
    if (decoder.open(path, outputRate)) {
        std::vector<float> block(std::size_t(BlockFrames) * 2);
        while (!m_quit.load(std::memory_order_relaxed)) {
            const std::size_t written = m_written.load(std::memory_order_relaxed);
            const std::size_t room = RingFrames - (written - m_read.load(std::memory_order_acquire));
            if (room < std::size_t(BlockFrames)) {
                // The ring holds a third of a second; looking back every 20 ms keeps it topped up.
                std::unique_lock lock(m_wakeMutex);
                m_wake.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_quit.load(); });
                continue;
            }
            const int got = decoder.read(block.data(), BlockFrames);
            for (int i = 0; i < got; ++i) {
                const std::size_t at = ((written + std::size_t(i)) & (RingFrames - 1)) * 2;
                m_ring[at] = block[std::size_t(i) * 2];
                m_ring[at + 1] = block[std::size_t(i) * 2 + 1];
            }
            m_written.store(written + std::size_t(got), std::memory_order_release);
            if (got < BlockFrames)
                break;
        }
    }
    m_decoded.store(true, std::memory_order_release);
}

int WaveStream::render(float* interleavedStereo, int frames)
{
    // Read the end flag before the fill level: an empty ring after the decoder finished is the end.
    const bool done = m_decoded.load(std::memory_order_acquire);
    const std::size_t read = m_read.load(std::memory_order_relaxed);
    const std::size_t available = m_written.load(std::memory_order_acquire) - read;
    const int n = int(std::min(available, std::size_t(frames)));
    for (int i = 0; i < n; ++i) {
        const std::size_t at = ((read + std::size_t(i)) & (RingFrames - 1)) * 2;
        interleavedStereo[i * 2] = m_ring[at];
        interleavedStereo[i * 2 + 1] = m_ring[at + 1];
    }
    m_read.store(read + std::size_t(n), std::memory_order_release);
    if (n == frames || done)
        return n;
    // Still decoding: a late block is heard as a short gap, not as the end.
    std::fill(interleavedStereo + n * 2, interleavedStereo + frames * 2, 0.0f);
    return frames;
}

} // namespace orv
