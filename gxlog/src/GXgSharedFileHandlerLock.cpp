#include "gxlog/src/GXgSharedFileHandlerLock.h"

#include <cstdio>

namespace gxlog {

std::string crossProcessMutexName(int key) {
    char name[64];
    std::snprintf(name, sizeof name, "GXG_SEM_KEY_%d", key);
    return name;
}

std::unique_ptr<CrossProcessMutex> createCrossProcessMutex(int key, ZurStatus& status) {
    return CrossProcessMutex::create(crossProcessMutexName(key), status);
}

}  // namespace gxlog
