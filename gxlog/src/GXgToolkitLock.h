// The lock that every application call of the toolkit takes.
//
// The scanner calls the toolkit from one thread, so the lock is almost never contended,
// while trace calls take it twice per record (the level test, then the record). Taken
// and released without contention it costs one atomic exchange each way and no call. A
// thread that finds it held sleeps on it (a futex on Linux) instead of spinning; the
// release wakes one sleeper only when one may be waiting.
#pragma once

#include <atomic>

namespace gxlog {

class GXgToolkitLock {
public:
    constexpr GXgToolkitLock() = default;
    GXgToolkitLock(const GXgToolkitLock&) = delete;
    GXgToolkitLock& operator=(const GXgToolkitLock&) = delete;

    void lock() {
        if (state_.exchange(kHeld, std::memory_order_acquire) != kFree) waitForIt();
    }
    void unlock() {
        if (state_.exchange(kFree, std::memory_order_seq_cst) == kHeldWithWaiters) state_.notify_one();
    }

private:
    static constexpr int kFree = 0;
    static constexpr int kHeld = 1;
    static constexpr int kHeldWithWaiters = 2;

    // Marks the lock as wanted and sleeps until it is released, then takes it. A thread
    // that takes it this way leaves the mark on, so that its release wakes the next
    // sleeper, if any.
    void waitForIt() {
        while (state_.exchange(kHeldWithWaiters, std::memory_order_acquire) != kFree)
            state_.wait(kHeldWithWaiters, std::memory_order_relaxed);
    }

    std::atomic<int> state_{kFree};
};

}  // namespace gxlog
