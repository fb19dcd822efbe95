#pragma once

#include <QThreadPool>

#include <condition_variable>
#include <mutex>

namespace orv::test {

// Keeps every thread of the global pool busy until released, so that work queued meanwhile
// cannot start: for tests of what a caller sees before a worker gets to its job.
class PoolGate {
public:
    PoolGate()
    {
        QThreadPool* pool = QThreadPool::globalInstance();
        threads_ = pool->maxThreadCount();
        for (int i = 0; i < threads_; ++i) {
            pool->start([this] {
                std::unique_lock lock(mutex_);
                ++started_;
                changed_.notify_all();
                changed_.wait(lock, [this] { return open_; });
                ++ended_;
                changed_.notify_all();
            });
        }
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return started_ == threads_; });
    }
    ~PoolGate()
    {
        release();
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return ended_ == threads_; });
    }
    PoolGate(const PoolGate&) = delete;
    PoolGate& operator=(const PoolGate&) = delete;

    void release()
    {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int threads_ = 0;
    int started_ = 0;
    int ended_ = 0;
    bool open_ = false;
};

} // namespace orv::test
