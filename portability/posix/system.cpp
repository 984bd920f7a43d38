// Runtime and system calls of the POSIX build.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string_view>

#include "portability/zur.h"
#include "portability/zur_backend.h"
#include "portability/zur_shared.h"

namespace zur::backend {
namespace {

// The errno of the call just made, with its result.
CallResult result(int64_t value) { return CallResult{value, value < 0 ? errno : 0}; }

// Repeats a call that a signal interrupted before it did anything.
template <class Call>
int64_t retryInterrupted(Call call) {
    int64_t value;
    do {
        value = call();
    } while (value < 0 && errno == EINTR);
    return value;
}

// strerror_r comes in two shapes; either gives the text for the number.
[[maybe_unused]] const char* errorTextOf(int result, const char* buffer) {
    return result == 0 ? buffer : nullptr;
}
[[maybe_unused]] const char* errorTextOf(const char* result, const char*) { return result; }

}  // namespace

// POSIX has no text or binary mode.
const RuntimeOpenFlags kRuntimeOpenFlags{
    .writeOnly = O_WRONLY,
    .readWrite = O_RDWR,
    .append = O_APPEND,
    .create = O_CREAT,
    .truncate = O_TRUNC,
    .exclusive = O_EXCL,
    .text = 0,
    .binary = 0,
};

CallResult openDescriptor(const char* path, int runtimeFlags) {
    return result(retryInterrupted([&] { return ::open(path, runtimeFlags, S_IRUSR | S_IWUSR); }));
}

// close is not retried: after EINTR the descriptor is already gone on Linux.
CallResult closeDescriptor(int descriptor) { return result(::close(descriptor)); }

CallResult removeFile(const char* path) { return result(::unlink(path)); }

CallResult renameFile(const char* oldPath, const char* newPath) {
    return result(std::rename(oldPath, newPath));
}

// Directories get the converted path when it is acceptable, like every other operation:
// on POSIX an unconverted '\' would become part of the directory's name rather than a
// separator.
CallResult makeDirectory(char* path) {
    zur_native_path(path);
    return result(::mkdir(path, S_IRWXU | S_IRWXG | S_IRWXO));
}

CallResult descriptorLength(int descriptor) {
    struct stat status{};
    if (::fstat(descriptor, &status) != 0) return result(-1);
    return CallResult{static_cast<int64_t>(status.st_size), 0};
}

CallResult readDescriptor(int descriptor, void* buffer, size_t size) {
    return result(retryInterrupted([&] { return ::read(descriptor, buffer, size); }));
}

CallResult writeDescriptor(int descriptor, const void* data, size_t length) {
    return result(retryInterrupted([&] { return ::write(descriptor, data, length); }));
}

// A descriptor that is not open is what Windows reports as having no system handle; any
// other refusal (a device that cannot be synchronised, an I/O error) is a refused flush.
FlushResult flushDescriptor(int descriptor) {
    if (retryInterrupted([&] { return ::fsync(descriptor); }) == 0) return {};
    const int error = errno;
    if (error == EBADF) return {FlushOutcome::noSystemHandle, error};
    return {FlushOutcome::refused, 0};
}

// POSIX has only errno to report, which is what the error field carries here.
uint32_t currentDirectory(char* buffer, size_t size) {
    if (::getcwd(buffer, size) != nullptr) return 0;
    return static_cast<uint32_t>(errno);
}

bool isDirectory(char* path) {
    struct stat status{};
    return ::stat(path, &status) == 0 && S_ISDIR(status.st_mode);
}

void runtimeErrorText(int error, char* buffer, size_t size) {
    char text[256] = {};
    const char* found = errorTextOf(::strerror_r(error, text, sizeof text), text);
    copyCut(found == nullptr ? std::string_view{} : std::string_view{found}, buffer, size);
}

// POSIX keeps no table of system messages for these numbers; the number itself is the most
// useful text there is.
void systemErrorText(uint32_t systemCode, char* buffer, size_t size) {
    char text[32];
    std::snprintf(text, sizeof text, "system error %u", static_cast<unsigned>(systemCode));
    copyCut(text, buffer, size);
}

// The error-text table belongs to this process alone, and POSIX has no named mutex shared
// with other processes, so a process-local mutex guards it.
namespace {
std::mutex errorTableMutex;
}

ErrorTableLock::ErrorTableLock() { errorTableMutex.lock(); }

ErrorTableLock::~ErrorTableLock() { errorTableMutex.unlock(); }

}  // namespace zur::backend

extern "C" {

int64_t zur_time_millis(void) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

int64_t zur_getpid(void) { return static_cast<int64_t>(::getpid()); }

}  // extern "C"
