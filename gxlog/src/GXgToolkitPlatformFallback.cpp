// Stand-in for the portability layer's file, time and identity calls, used when the
// layer is not part of the build: the runtime library's descriptors with the layer's
// status convention (code -4 with errno for system failures, 21 for a rejected
// argument).
#include "gxlog/src/GXgToolkitPlatform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

namespace gxlog::platform {

namespace {
zur::Status systemFailure(int32_t category) { return {-4, errno, category}; }
int descriptor(void* handle) { return static_cast<int>(reinterpret_cast<intptr_t>(handle)) - 1; }
void* handleOf(int fd) { return reinterpret_cast<void*>(static_cast<intptr_t>(fd) + 1); }
}  // namespace

int64_t timeMillis() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

int64_t processId() {
#ifdef _WIN32
    return _getpid();
#else
    return getpid();
#endif
}

int64_t threadId() { return 0; }



// ---- Files ----------------------------------------------------------------------------

std::unique_ptr<File> File::open(const std::string& path, uint32_t flags, zur::Status& status) {
    status = {};
    if (!pathAcceptable(path)) {
        status = {21, 0, 2};
        return nullptr;
    }
    int mode = O_RDONLY;
    if (flags & kOpenReadWrite) mode = O_RDWR;
    else if (flags & kOpenWrite) mode = O_WRONLY;
    if (flags & kOpenAppend) mode |= O_APPEND;
    if (flags & kOpenCreate) mode |= O_CREAT;
    if (flags & kOpenTruncate) mode |= O_TRUNC;
#ifdef _WIN32
    mode |= O_BINARY;
    const int fd = ::_open(path.c_str(), mode, _S_IREAD | _S_IWRITE);
#else
    mode |= O_CLOEXEC;
    const int fd = ::open(path.c_str(), mode, S_IRUSR | S_IWUSR);
#endif
    if (fd < 0) {
        status = systemFailure(3);
        return nullptr;
    }
    std::unique_ptr<File> file(new File);
    file->handle_ = handleOf(fd);
    return file;
}

File::~File() { (void)close(); }

zur::Status File::close() {
    if (!handle_) return {};
    const int fd = descriptor(handle_);
    handle_ = nullptr;
#ifdef _WIN32
    if (::_close(fd) != 0) return systemFailure(2);
#else
    if (::close(fd) != 0) return systemFailure(2);
#endif
    return {};
}

zur::Status File::write(std::string_view data) {
    if (!handle_) return {21, 0, 1};
    const int fd = descriptor(handle_);
    while (!data.empty()) {
        const unsigned chunk = data.size() > (1u << 30) ? (1u << 30) : static_cast<unsigned>(data.size());
#ifdef _WIN32
        const int n = ::_write(fd, data.data(), chunk);
#else
        const ssize_t n = ::write(fd, data.data(), chunk);
        if (n < 0 && errno == EINTR) continue;
#endif
        if (n <= 0) return systemFailure(2);
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

zur::Status File::read(char* buffer, std::size_t size, std::size_t& count) {
    count = 0;
    if (!handle_) return {21, 0, 1};
    const unsigned chunk = size > (1u << 30) ? (1u << 30) : static_cast<unsigned>(size);
#ifdef _WIN32
    const int n = ::_read(descriptor(handle_), buffer, chunk);
#else
    const ssize_t n = ::read(descriptor(handle_), buffer, chunk);
#endif
    if (n < 0) return systemFailure(2);
    count = static_cast<std::size_t>(n);
    return {};
}

zur::Status File::length(int64_t& length) {
    length = -1;
    if (!handle_) return {21, 0, 1};
#ifdef _WIN32
    const int64_t n = ::_filelengthi64(descriptor(handle_));
    if (n < 0) return systemFailure(2);
    length = n;
#else
    struct stat st;
    if (::fstat(descriptor(handle_), &st) != 0) return systemFailure(2);
    length = st.st_size;
#endif
    return {};
}

zur::Status File::flush() {
    if (!handle_) return {21, 0, 1};
#ifdef _WIN32
    if (::_commit(descriptor(handle_)) != 0) return {9, 0, 3};
#else
    if (::fsync(descriptor(handle_)) != 0) return {9, 0, 3};
#endif
    return {};
}

zur::Status removeFile(const std::string& path) {
    if (!pathAcceptable(path)) return {21, 0, 0};
    if (std::remove(path.c_str()) != 0) return systemFailure(2);
    return {};
}

zur::Status renameFile(const std::string& from, const std::string& to) {
    if (!pathAcceptable(from) || !pathAcceptable(to)) return {21, 0, 2};
#ifdef _WIN32
    // The C library's rename does not replace an existing target here; the rollover
    // deletes the target first, so a plain rename is enough.
#endif
    if (std::rename(from.c_str(), to.c_str()) != 0) return systemFailure(2);
    return {};
}

zur::Status makeDirectory(const std::string& path) {
#ifdef _WIN32
    if (::_mkdir(path.c_str()) != 0) return systemFailure(1);
#else
    if (::mkdir(path.c_str(), 0777) != 0) return systemFailure(1);
#endif
    return {};
}

bool isDirectory(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Windows rejects a path made absolute by a leading '/' alone; POSIX rejects the forms
// only Windows can reach (a share, a drive). Both reject the empty path.
bool pathAcceptable(const std::string& path) {
    if (path.empty()) return false;
#ifdef _WIN32
    return path[0] != '/';
#else
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') return false;
    return path.find(":\\") == std::string::npos;
#endif
}

std::string currentDirectory() {
    char buffer[1024];
#ifdef _WIN32
    if (!::_getcwd(buffer, sizeof buffer)) return {};
#else
    if (!::getcwd(buffer, sizeof buffer)) return {};
#endif
    return buffer;
}

}  // namespace gxlog::platform
