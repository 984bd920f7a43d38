// Files, time and process identity: the portability layer.
#include "gxlog/src/GXgToolkitPlatform.h"

#include <vector>

#include "portability/zur.h"

namespace gxlog::platform {

namespace {
zur::Status fromZur(const ZurStatus& s) {
    return {s.code, static_cast<int32_t>(s.error), static_cast<int32_t>(s.category)};
}
ZurFile* zurFile(void* handle) { return static_cast<ZurFile*>(handle); }
}  // namespace

int64_t timeMillis() { return zur_time_millis(); }
int64_t processId() { return zur_getpid(); }
int64_t threadId() { return zur_thread_id(); }

std::unique_ptr<File> File::open(const std::string& path, uint32_t flags, zur::Status& status) {
    uint32_t zurFlags = ZUR_OPEN_BINARY;
    if (flags & kOpenRead) zurFlags |= ZUR_OPEN_READ;
    if (flags & kOpenWrite) zurFlags |= ZUR_OPEN_WRITE;
    if (flags & kOpenReadWrite) zurFlags |= ZUR_OPEN_RDWR;
    if (flags & kOpenAppend) zurFlags |= ZUR_OPEN_APPEND;
    if (flags & kOpenCreate) zurFlags |= ZUR_OPEN_CREATE;
    if (flags & kOpenTruncate) zurFlags |= ZUR_OPEN_TRUNCATE;
    ZurFile* handle = nullptr;
    status = fromZur(zur_open(&handle, path.c_str(), zurFlags));
    if (!status.ok()) {
        if (handle) zur_close(handle);
        return nullptr;
    }
    std::unique_ptr<File> file(new File);
    file->handle_ = handle;
    return file;
}

File::~File() { (void)close(); }

zur::Status File::close() {
    if (!handle_) return {};
    ZurFile* handle = zurFile(handle_);
    handle_ = nullptr;
    return fromZur(zur_close(handle));
}

zur::Status File::write(std::string_view data) {
    std::size_t count = 0;
    return fromZur(zur_write(zurFile(handle_), data.data(), data.size(), &count));
}

zur::Status File::read(char* buffer, std::size_t size, std::size_t& count) {
    count = 0;
    return fromZur(zur_read(zurFile(handle_), buffer, size, &count));
}

zur::Status File::length(int64_t& length) { return fromZur(zur_file_length(zurFile(handle_), &length)); }

zur::Status File::flush() { return fromZur(zur_flush(zurFile(handle_))); }

zur::Status removeFile(const std::string& path) { return fromZur(zur_remove(path.c_str())); }

zur::Status renameFile(const std::string& from, const std::string& to) {
    return fromZur(zur_rename(from.c_str(), to.c_str()));
}

zur::Status makeDirectory(const std::string& path) { return fromZur(zur_mkdir(path.c_str())); }

bool isDirectory(const std::string& path) { return zur_is_directory(path.c_str()); }

bool pathAcceptable(const std::string& path) { return zur_path_acceptable(path.c_str()); }

std::string currentDirectory() {
    std::vector<char> buffer(ZUR_CWD_SIZE, '\0');
    if (zur_getcwd(buffer.data()).code != ZUR_CODE_OK) return {};
    return buffer.data();
}

}  // namespace gxlog::platform
