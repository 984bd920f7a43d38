// The cross-process lock of a shared log file: the portability layer's named mutex, named
// "GXG_SEM_KEY_" followed by the key in decimal, so that every process using the same key
// serialises on the same lock.
#pragma once

#include <memory>
#include <string>

#include "gxlog/src/GXgZurBridge.h"
#include "portability/zur_named_mutex.h"

namespace gxlog {

using CrossProcessMutex = ::zur::NamedMutex;

// The lock's name for a key: "GXG_SEM_KEY_31821" for 31821.
std::string crossProcessMutexName(int key);
// Null (with the status filled) when the lock cannot be made.
std::unique_ptr<CrossProcessMutex> createCrossProcessMutex(int key, ZurStatus& status);

}  // namespace gxlog
