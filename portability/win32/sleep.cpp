// Short sleeps on Windows: the system gives no control over their lateness.
#include <chrono>
#include <thread>

#include "portability/zur_system.h"

namespace zur {

void sleepMicros(uint32_t micros) { std::this_thread::sleep_for(std::chrono::microseconds(micros)); }

}  // namespace zur
