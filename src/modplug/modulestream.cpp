#include "modulestream.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace orv {

namespace {

constexpr int BlockFrames = 1024;

void raise(std::atomic<float>& peak, float value)
{
    float seen = peak.load(std::memory_order_relaxed);
    while (value > seen && !peak.compare_exchange_weak(seen, value, std::memory_order_relaxed)) {
    }
}

} // namespace

ModuleStream::ModuleStream(std::unique_ptr<ModuleDecoder> decoder, int outputRate)
    : m_decoder(std::move(decoder)), m_rate(outputRate), m_ring(RingFrames * 2, 0.0f)
{
    m_thread = std::thread([this] { decode(); });
}

ModuleStream::~ModuleStream()
{
    {
        std::lock_guard lock(m_wakeMutex);
        m_quit = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void ModuleStream::decode()
{
    std::vector<float> block(std::size_t(BlockFrames) * 2);
    while (m_decoder && !m_quit.load(std::memory_order_relaxed)) {
        const std::size_t written = m_written.load(std::memory_order_relaxed);
        const std::size_t room = RingFrames - (written - m_read.load(std::memory_order_acquire));
        if (room < std::size_t(BlockFrames)) {
            // The ring lasts about 170 ms; looking back every 20 ms keeps it topped up.
            std::unique_lock lock(m_wakeMutex);
            m_wake.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_quit.load(); });
            continue;
        }
        const int got = m_decoder->render(m_rate, block.data(), BlockFrames);
        for (int i = 0; i < got; ++i) {
            const std::size_t at = ((written + std::size_t(i)) & (RingFrames - 1)) * 2;
            m_ring[at] = block[std::size_t(i) * 2];
            m_ring[at + 1] = block[std::size_t(i) * 2 + 1];
        }
        m_written.store(written + std::size_t(got), std::memory_order_release);
        if (got < BlockFrames)
            break;
    }
    m_decoded.store(true, std::memory_order_release);
}

int ModuleStream::render(float* interleavedStereo, int frames)
{
    if (m_halted.load(std::memory_order_acquire))
        return 0;
    const bool done = m_decoded.load(std::memory_order_acquire);
    const std::size_t read = m_read.load(std::memory_order_relaxed);
    const std::size_t available = m_written.load(std::memory_order_acquire) - read;
    const int n = int(std::min(available, std::size_t(frames)));
    float peakL = 0.0f;
    float peakR = 0.0f;
    for (int i = 0; i < n; ++i) {
        const std::size_t at = ((read + std::size_t(i)) & (RingFrames - 1)) * 2;
        const float l = m_ring[at];
        const float r = m_ring[at + 1];
        interleavedStereo[i * 2] = l;
        interleavedStereo[i * 2 + 1] = r;
        peakL = std::max(peakL, std::fabs(l));
        peakR = std::max(peakR, std::fabs(r));
        m_scope[(read + std::size_t(i)) & (ScopeFrames - 1)].store((l + r) * 0.5f, std::memory_order_relaxed);
    }
    raise(m_peak[0], peakL);
    raise(m_peak[1], peakR);
    m_read.store(read + std::size_t(n), std::memory_order_release);
    if (n == frames || done)
        return n;
    // Still decoding: a late block is heard as a short gap, not as the end.
    std::fill(interleavedStereo + n * 2, interleavedStereo + frames * 2, 0.0f);
    return frames;
}

std::array<float, 2> ModuleStream::takePeaks()
{
    return {m_peak[0].exchange(0.0f, std::memory_order_relaxed), m_peak[1].exchange(0.0f, std::memory_order_relaxed)};
}

std::vector<float> ModuleStream::scope() const
{
    const std::size_t end = m_read.load(std::memory_order_acquire);
    std::vector<float> out(ScopeFrames);
    for (std::size_t i = 0; i < ScopeFrames; ++i)
        out[i] = m_scope[(end + i) & (ScopeFrames - 1)].load(std::memory_order_relaxed);
    return out;
}

} // namespace orv
