// What each platform backend of the portability layer supplies: the raw runtime-library and
// system calls, the platform's texts for error numbers and the lock around the layer's own
// error texts. The shared core (status records, null checks, path copies, flag mapping)
// is written once on top of these. The path rules themselves (zur_is_absolute,
// zur_path_acceptable, zur_native_path) and zur_time_millis / zur_getpid are defined by
// each backend directly.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zur::backend {

// Result of one runtime or system call: a negative value means it failed, and error then
// holds the errno read right after the call.
struct CallResult {
    int64_t value = 0;
    int error = 0;

    bool failed() const { return value < 0; }
};

// The runtime library's values for what each layer open flag stands for; 0 where the
// platform has no such flag.
struct RuntimeOpenFlags {
    int writeOnly;
    int readWrite;
    int append;
    int create;
    int truncate;
    int exclusive;
    int text;
    int binary;
};
extern const RuntimeOpenFlags kRuntimeOpenFlags;

// Opens with the runtime flags; new files get owner read and write permission.
CallResult openDescriptor(const char* path, int runtimeFlags);
CallResult closeDescriptor(int descriptor);
CallResult removeFile(const char* path);
CallResult renameFile(const char* oldPath, const char* newPath);
// Receives a private, unconverted copy of the caller's path, which it may change.
CallResult makeDirectory(char* path);
// Current length of the file behind the descriptor.
CallResult descriptorLength(int descriptor);
// One read or write call; it may move fewer bytes than asked.
CallResult readDescriptor(int descriptor, void* buffer, size_t size);
CallResult writeDescriptor(int descriptor, const void* data, size_t length);

enum class FlushOutcome { flushed, noSystemHandle, refused };
struct FlushResult {
    FlushOutcome outcome = FlushOutcome::flushed;
    int error = 0;  // errno when there is no system handle
};
FlushResult flushDescriptor(int descriptor);

// Fills buffer (size bytes) with the terminated current directory; returns 0, or the error
// number in the layer's convention.
uint32_t currentDirectory(char* buffer, size_t size);

// A status query on path succeeds and reports a directory. Receives a private copy, which
// it may change.
bool isDirectory(char* path);

// Write the text, cut to fit and terminated, into buffer (size is at least 1).
void runtimeErrorText(int error, char* buffer, size_t size);
void systemErrorText(uint32_t systemCode, char* buffer, size_t size);

// Holds the lock around the layer's own error-text table for its lifetime.
class ErrorTableLock {
public:
    ErrorTableLock();
    ~ErrorTableLock();
    ErrorTableLock(const ErrorTableLock&) = delete;
    ErrorTableLock& operator=(const ErrorTableLock&) = delete;

private:
    [[maybe_unused]] void* token_ = nullptr;  // the backend's lock object, if it needs one
};

}  // namespace zur::backend
