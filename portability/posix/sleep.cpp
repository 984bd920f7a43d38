// Short sleeps on POSIX (built for Linux).
#include <sys/prctl.h>

#include <chrono>
#include <thread>

#include "portability/zur_system.h"

namespace zur {

// Linux lets a sleep run late by the thread's timer slack (50 µs by default), a quarter
// of a 200 µs wait: each thread that sleeps here asks once for the least slack.
void sleepMicros(uint32_t micros) {
    thread_local const bool tightened = ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0;
    (void)tightened;
    std::this_thread::sleep_for(std::chrono::microseconds(micros));
}

}  // namespace zur
