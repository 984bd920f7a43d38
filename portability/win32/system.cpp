// Runtime-library and Win32 calls of the Windows build.
#include <windows.h>

#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <sys/timeb.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string_view>

#include "portability/zur.h"
#include "portability/zur_backend.h"
#include "portability/zur_named_mutex.h"
#include "portability/zur_shared.h"

namespace zur::backend {
namespace {

// The errno of the call just made, with its result.
CallResult result(int64_t value) { return CallResult{value, value < 0 ? errno : 0}; }

// The runtime library counts transfers in int.
unsigned int transferSize(size_t size) {
    return static_cast<unsigned int>(size < INT_MAX ? size : INT_MAX);
}

constexpr const char* kErrorStringMutexName = "ZUR_ERROR_STRING_MUTEX";

}  // namespace

const RuntimeOpenFlags kRuntimeOpenFlags{
    .writeOnly = _O_WRONLY,
    .readWrite = _O_RDWR,
    .append = _O_APPEND,
    .create = _O_CREAT,
    .truncate = _O_TRUNC,
    .exclusive = _O_EXCL,
    .text = _O_TEXT,
    .binary = _O_BINARY,
};

CallResult openDescriptor(const char* path, int runtimeFlags) {
    return result(::_open(path, runtimeFlags, _S_IREAD | _S_IWRITE));
}

CallResult closeDescriptor(int descriptor) { return result(::_close(descriptor)); }

CallResult removeFile(const char* path) { return result(::_unlink(path)); }

CallResult renameFile(const char* oldPath, const char* newPath) {
    return result(::rename(oldPath, newPath));
}

// The path is used as the caller gave it: Windows takes '/' as a separator here too.
CallResult makeDirectory(char* path) { return result(::_mkdir(path)); }

CallResult descriptorLength(int descriptor) { return result(::_filelengthi64(descriptor)); }

CallResult readDescriptor(int descriptor, void* buffer, size_t size) {
    return result(::_read(descriptor, buffer, transferSize(size)));
}

CallResult writeDescriptor(int descriptor, const void* data, size_t length) {
    return result(::_write(descriptor, data, transferSize(length)));
}

FlushResult flushDescriptor(int descriptor) {
    const intptr_t osHandle = ::_get_osfhandle(descriptor);
    if (osHandle == -1) return {FlushOutcome::noSystemHandle, errno};
    if (!::FlushFileBuffers(reinterpret_cast<HANDLE>(osHandle))) return {FlushOutcome::refused, 0};
    return {};
}

uint32_t currentDirectory(char* buffer, size_t size) {
    const DWORD length = ::GetCurrentDirectoryA(static_cast<DWORD>(size), buffer);
    if (length == 0) return ::GetLastError() + ZUR_SYSTEM_ERROR_BASE;
    // A longer directory does not fit and leaves the buffer unwritten.
    if (length >= size) return ERROR_INSUFFICIENT_BUFFER + ZUR_SYSTEM_ERROR_BASE;
    return 0;
}

// The runtime's status query fails for "dir\" although it names a directory, so trailing
// separators are dropped first; a root ("C:\", "\") keeps its own.
bool isDirectory(char* path) {
    size_t length = std::strlen(path);
    while (length > 1 && (path[length - 1] == '\\' || path[length - 1] == '/') &&
           path[length - 2] != ':') {
        path[--length] = '\0';
    }
    struct _stati64 status{};
    return ::_stati64(path, &status) == 0 && (status.st_mode & _S_IFDIR) != 0;
}

void runtimeErrorText(int error, char* buffer, size_t size) {
    // The runtime library keeps strerror's text per thread.
    const char* text = ::strerror(error);
    copyCut(text == nullptr ? std::string_view{} : std::string_view{text}, buffer, size);
}

// The message in the default language, without the line end the system appends.
void systemErrorText(uint32_t systemCode, char* buffer, size_t size) {
    char* message = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, systemCode, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
        reinterpret_cast<LPSTR>(&message), 0, nullptr);
    std::string_view text = (length != 0 && message != nullptr) ? std::string_view{message, length}
                                                                : std::string_view{};
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.remove_suffix(1);
    }
    copyCut(text, buffer, size);
    if (message != nullptr) ::LocalFree(message);
}

// The named mutex is shared by every process that uses this layer. Should it not be had at
// all, the (empty) table is read without it.
ErrorTableLock::ErrorTableLock() {
    ZurStatus status = ZurStatus::success();
    std::unique_ptr<NamedMutex> mutex = NamedMutex::create(kErrorStringMutexName, status);
    if (!mutex) return;
    const NamedMutex::WaitResult waited = mutex->wait(-1, status);
    if (waited == NamedMutex::WaitResult::Acquired || waited == NamedMutex::WaitResult::Abandoned) {
        token_ = mutex.release();
    }
}

ErrorTableLock::~ErrorTableLock() {
    if (token_ == nullptr) return;
    auto* mutex = static_cast<NamedMutex*>(token_);
    (void)mutex->release();
    delete mutex;
}

}  // namespace zur::backend

extern "C" {

int64_t zur_time_millis(void) {
    __timeb64 now{};
    ::_ftime64(&now);
    return static_cast<int64_t>(now.time) * 1000 + now.millitm;
}

int64_t zur_getpid(void) { return static_cast<int64_t>(::_getpid()); }

}  // extern "C"
