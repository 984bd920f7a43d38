// Units of work run side by side whose results, and trace, are taken in sequential order.
#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "common/scan_trace.h"

namespace scan {

// Runs work(i) for every i below count, at most width at once, and merge(i) on the
// calling thread in index order, each as soon as work(i) has finished. The trace of
// work(i) is held per unit and written just before merge(i), so the trace comes out as
// if the units had run one after the other.
//
// The units start in index order, except that the units from index leadFrom on (known to
// take longest) start first, so that the others run beside them.
//
// A width of 1 or less is the sequential scan itself: work(i) and merge(i) in turn on
// the calling thread, nothing held back, no thread started. work must not throw.
template <class Work, class Merge>
void runInOrder(std::size_t count, unsigned width, Work&& work, Merge&& merge, std::size_t leadFrom = SIZE_MAX) {
    if (width <= 1) {
        for (std::size_t i = 0; i < count; ++i) {
            work(i);
            merge(i);
        }
        return;
    }
    // Made here, so each buffer takes the calling thread's tracing choice.
    std::unique_ptr<TraceBuffer[]> traces(new TraceBuffer[count]);
    std::mutex m;
    std::condition_variable finished;
    std::vector<char> done(count, 0);
    std::atomic<std::size_t> next{0};
    // The k-th unit to start.
    auto unitAt = [&](std::size_t k) {
        if (leadFrom >= count) return k;
        const std::size_t leading = count - leadFrom;
        return k < leading ? leadFrom + k : k - leading;
    };
    auto worker = [&] {
        for (std::size_t k; (k = next.fetch_add(1)) < count;) {
            const std::size_t i = unitAt(k);
            {
                TraceCapture capture(traces[i]);
                work(i);
            }
            {
                std::lock_guard<std::mutex> g(m);
                done[i] = 1;
            }
            finished.notify_all();
        }
    };
    std::vector<std::thread> threads;
    const std::size_t started = std::min<std::size_t>(width, count);
    threads.reserve(started);
    for (std::size_t t = 0; t < started; ++t) threads.emplace_back(worker);
    for (std::size_t i = 0; i < count; ++i) {
        {
            std::unique_lock<std::mutex> l(m);
            finished.wait(l, [&] { return done[i] != 0; });
        }
        traces[i].flush();
        merge(i);
    }
    for (std::thread& t : threads) t.join();
}

}  // namespace scan
