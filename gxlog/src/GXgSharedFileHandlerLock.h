// The cross-process lock of a shared log file: a named system mutex whose name is
// "GXG_SEM_KEY_" followed by the key in decimal, so that every process using the same
// key serialises on the same lock.
//
// Windows: a named mutex (CreateMutexA, not owned at creation).
// POSIX: an exclusive flock on the file /tmp/GXG_SEM_KEY_<key>, created on first use
// (readable and writable by everyone, so that processes of different users can share
// it), together with a process-local timed mutex for the same key so that threads of
// one process exclude each other too. flock locks are released by the system when their
// process ends, so a writer that dies holding the lock never blocks the others.
#pragma once

#include <memory>
#include <string>

#include "gxlog/src/GXgZurBridge.h"

namespace gxlog {

class CrossProcessMutex {
public:
    virtual ~CrossProcessMutex() = default;

    // The lock's name for a key: "GXG_SEM_KEY_31821" for 31821.
    static std::string nameForKey(int key);
    // Null (with the status filled) when the lock cannot be made.
    static std::unique_ptr<CrossProcessMutex> create(int key, zur::Status& status);

    enum class WaitResult {
        Acquired,
        Abandoned,  // acquired, but its previous holder ended while holding it
        TimedOut,
        Failed,
    };
    virtual WaitResult wait(int timeoutMillis, zur::Status& status) = 0;
    virtual zur::Status release() = 0;
};

}  // namespace gxlog
