// A lock shared by every process that names it, for writers of one file in several
// processes. Results follow the layer's status convention.
//
// Windows: a named system mutex (not owned at creation).
// POSIX: an exclusive flock on the file /tmp/<name>, created on first use (readable and
// writable by everyone, so that processes of different users can share it), together
// with a process-local timed mutex for the same name so that threads of one process
// exclude each other too. flock locks are released by the system when their process
// ends, so a holder that dies never blocks the others.
#pragma once

#include <memory>
#include <string>

#include "portability/zur.h"

namespace zur {

class NamedMutex {
public:
    virtual ~NamedMutex() = default;

    // Null (with the status filled) when the lock cannot be made.
    static std::unique_ptr<NamedMutex> create(const std::string& name, ZurStatus& status);

    enum class WaitResult {
        Acquired,
        Abandoned,  // acquired, but its previous holder ended while holding it
        TimedOut,
        Failed,
    };
    // Waits at most timeoutMillis for the lock; a negative time waits without limit.
    virtual WaitResult wait(int timeoutMillis, ZurStatus& status) = 0;
    virtual ZurStatus release() = 0;
};

}  // namespace zur
