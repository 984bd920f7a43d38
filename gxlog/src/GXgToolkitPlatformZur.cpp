// Files, time and process identity: the portability layer.
#include "gxlog/src/GXgToolkitPlatform.h"

#include <vector>

#include "portability/zur.h"

namespace gxlog::platform {

namespace {
ZurFile* zurFile(void* handle) { return static_cast<ZurFile*>(handle); }
}  // namespace

int64_t timeMillis() { return zur_time_millis(); }
int64_t processId() { return zur_getpid(); }
int64_t threadId() { return zur_thread_id(); }

std::unique_ptr<File> File::open(const std::string& path, uint32_t flags, ZurStatus& status) {
    uint32_t zurFlags = ZUR_OPEN_BINARY;
    if (flags & kOpenRead) zurFlags |= ZUR_OPEN_READ;
    if (flags & kOpenWrite) zurFlags |= ZUR_OPEN_WRITE;
    if (flags & kOpenReadWrite) zurFlags |= ZUR_OPEN_RDWR;
    if (flags & kOpenAppend) zurFlags |= ZUR_OPEN_APPEND;
    if (flags & kOpenCreate) zurFlags |= ZUR_OPEN_CREATE;
    if (flags & kOpenTruncate) zurFlags |= ZUR_OPEN_TRUNCATE;
    ZurFile* handle = nullptr;
    status = zur_open(&handle, path.c_str(), zurFlags);
    if (!status.ok()) {
        if (handle) zur_close(handle);
        return nullptr;
    }
    std::unique_ptr<File> file(new File);
    file->handle_ = handle;
    return file;
}

File::~File() { (void)close(); }

ZurStatus File::close() {
    if (!handle_) return ZurStatus::success();
    ZurFile* handle = zurFile(handle_);
    handle_ = nullptr;
    return zur_close(handle);
}

ZurStatus File::write(std::string_view data) {
    std::size_t count = 0;
    return zur_write(zurFile(handle_), data.data(), data.size(), &count);
}

ZurStatus File::read(char* buffer, std::size_t size, std::size_t& count) {
    count = 0;
    return zur_read(zurFile(handle_), buffer, size, &count);
}

ZurStatus File::length(int64_t& length) { return zur_file_length(zurFile(handle_), &length); }

ZurStatus File::flush() { return zur_flush(zurFile(handle_)); }

ZurStatus removeFile(const std::string& path) { return zur_remove(path.c_str()); }

ZurStatus renameFile(const std::string& from, const std::string& to) {
    return zur_rename(from.c_str(), to.c_str());
}

ZurStatus makeDirectory(const std::string& path) { return zur_mkdir(path.c_str()); }

bool isDirectory(const std::string& path) { return zur_is_directory(path.c_str()); }

bool pathAcceptable(const std::string& path) { return zur_path_acceptable(path.c_str()); }

bool systemDrivePath(std::string& path) { return zur_system_drive_path(path.data()); }

std::string currentDirectory() {
    std::vector<char> buffer(ZUR_CWD_SIZE, '\0');
    if (!zur_getcwd(buffer.data()).ok()) return {};
    return buffer.data();
}

}  // namespace gxlog::platform
