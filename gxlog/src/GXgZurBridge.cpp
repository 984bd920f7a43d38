// Status texts and file reading through the portability layer.
#include "gxlog/src/GXgZurBridge.h"
#include "portability/zur.h"

namespace gxlog::zur {

std::string errorText(const Status& status) {
    char buffer[128] = {};
    zur_error_string(buffer, sizeof buffer, status.code, static_cast<uint32_t>(status.error));
    return buffer;
}

namespace {
Status fromZur(const ZurStatus& s) {
    return {s.code, static_cast<int32_t>(s.error), static_cast<int32_t>(s.category)};
}
}  // namespace

std::unique_ptr<InputFile> InputFile::open(const std::string& path, Status& status) {
    ZurFile* handle = nullptr;
    status = fromZur(zur_open(&handle, path.c_str(), ZUR_OPEN_READ | ZUR_OPEN_TEXT));
    if (!status.ok()) {
        if (handle) zur_close(handle);
        return nullptr;
    }
    std::unique_ptr<InputFile> file(new InputFile);
    file->handle_ = handle;
    return file;
}

InputFile::~InputFile() {
    if (handle_) zur_close(static_cast<ZurFile*>(handle_));
}

Status InputFile::read(char* buffer, std::size_t size, std::size_t& count) {
    count = 0;
    return fromZur(zur_read(static_cast<ZurFile*>(handle_), buffer, size, &count));
}

Status InputFile::length(int64_t& length) {
    return fromZur(zur_file_length(static_cast<ZurFile*>(handle_), &length));
}

}  // namespace gxlog::zur
