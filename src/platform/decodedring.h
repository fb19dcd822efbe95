#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

namespace orv {

// A decoding thread that keeps a ring of interleaved stereo frames topped up, and the lock-free
// reading side the audio thread drains it from. The producer fills a block and returns how many
// frames it wrote; fewer than asked for is the end. The thread fills the ring, then sleeps until
// the reader has drained half of it and wakes it, so it runs a few times a second in long
// bursts instead of waking for every block. Shared by the wave sounds and the module plug-in
// (header-only, so the plug-in library needs nothing else of the program).
// Destruction stops and joins the thread: declare it after what the producer uses.
class DecodedRing {
public:
    using Producer = std::function<int(float* interleavedStereo, int frames)>;

    // ringFrames must be a power of two.
    DecodedRing(std::size_t ringFrames, Producer produce)
        : frames_(ringFrames), ring_(ringFrames * 2, 0.0f), produce_(std::move(produce))
    {
        thread_ = std::thread([this] { run(); });
    }

    ~DecodedRing()
    {
        quit_.store(true);
        wakeCount_.fetch_add(1);
        wakeCount_.notify_all();
        thread_.join();
    }

    DecodedRing(const DecodedRing&) = delete;
    DecodedRing& operator=(const DecodedRing&) = delete;

    // Audio thread: copies what is ready into out. While the producer is still going, the rest
    // is silence (a late block is a short gap, not the end) and all frames count; at the end only
    // the real ones do. realFrames receives how many were decoded frames.
    int render(float* out, int frames, int* realFrames = nullptr)
    {
        // The end flag before the fill level: an empty ring after the producer finished is the end.
        const bool done = finished_.load(std::memory_order_acquire);
        const std::size_t read = read_.load(std::memory_order_relaxed);
        const std::size_t available = written_.load(std::memory_order_acquire) - read;
        const int n = int(std::min(available, std::size_t(frames)));
        for (int i = 0; i < n; ++i) {
            const std::size_t at = ((read + std::size_t(i)) & (frames_ - 1)) * 2;
            out[i * 2] = ring_[at];
            out[i * 2 + 1] = ring_[at + 1];
        }
        read_.store(read + std::size_t(n), std::memory_order_release);
        // One wake-up per refill: the decoding thread re-arms it before it sleeps. Waking it
        // costs a system call only while it really waits.
        if (available - std::size_t(n) <= frames_ / 2 && !wakeSent_.exchange(true)) {
            wakeCount_.fetch_add(1);
            wakeCount_.notify_one();
        }
        if (realFrames)
            *realFrames = n;
        if (n == frames || done)
            return n;
        std::fill(out + n * 2, out + frames * 2, 0.0f);
        return frames;
    }

    std::size_t framesRead() const { return read_.load(std::memory_order_acquire); }
    bool finished() const { return finished_.load(std::memory_order_acquire); }

private:
    static constexpr int BlockFrames = 1024;

    void run()
    {
        std::vector<float> block(std::size_t(BlockFrames) * 2);
        while (!quit_.load(std::memory_order_relaxed)) {
            const std::size_t written = written_.load(std::memory_order_relaxed);
            const std::size_t room = frames_ - (written - read_.load(std::memory_order_acquire));
            if (room < std::size_t(BlockFrames)) {
                // Full: sleep until the reader has taken half. The flag is re-armed before the
                // count is read and the level checked again, so a wake-up sent in between
                // either shows in the level or changes the count and ends the wait at once.
                wakeSent_.store(false);
                const std::uint32_t seen = wakeCount_.load();
                if (written - read_.load(std::memory_order_acquire) > frames_ / 2 && !quit_.load())
                    wakeCount_.wait(seen);
                continue;
            }
            const int got = std::clamp(produce_(block.data(), BlockFrames), 0, BlockFrames);
            for (int i = 0; i < got; ++i) {
                const std::size_t at = ((written + std::size_t(i)) & (frames_ - 1)) * 2;
                ring_[at] = block[std::size_t(i) * 2];
                ring_[at + 1] = block[std::size_t(i) * 2 + 1];
            }
            written_.store(written + std::size_t(got), std::memory_order_release);
            if (got < BlockFrames)
                break;
        }
        finished_.store(true, std::memory_order_release);
    }

    const std::size_t frames_;
    std::vector<float> ring_;
    Producer produce_;
    std::atomic<std::size_t> written_ {0};  // frames ever written; the producer advances it
    std::atomic<std::size_t> read_ {0};     // frames ever read; the audio thread advances it
    std::atomic<bool> finished_ {false};
    std::atomic<bool> quit_ {false};
    std::atomic<bool> wakeSent_ {true};        // set by the reader's wake-up, re-armed by the thread
    std::atomic<std::uint32_t> wakeCount_ {0};  // what the thread sleeps on
    std::thread thread_;
};

} // namespace orv
