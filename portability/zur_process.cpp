// Threads and locks of a single-threaded program: there is one thread, and the layer's lock
// operations have nothing to guard.
#include "portability/zur.h"

extern "C" {

int64_t zur_thread_id(void) { return 0; }

ZurStatus zur_ok(void*) { return ZurStatus::success(); }

}  // extern "C"
