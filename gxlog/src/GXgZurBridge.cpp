// Status texts and file reading through the portability layer.
#include "gxlog/src/GXgZurBridge.h"
#include "portability/zur.h"

namespace gxlog::zur {

std::string errorText(const ZurStatus& status) {
    char buffer[128] = {};
    zur_error_string(buffer, sizeof buffer, status.code, status.error);
    return buffer;
}

std::unique_ptr<InputFile> InputFile::open(const std::string& path, ZurStatus& status) {
    ZurFile* handle = nullptr;
    status = zur_open(&handle, path.c_str(), ZUR_OPEN_READ | ZUR_OPEN_TEXT);
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

ZurStatus InputFile::read(char* buffer, std::size_t size, std::size_t& count) {
    count = 0;
    return zur_read(static_cast<ZurFile*>(handle_), buffer, size, &count);
}

ZurStatus InputFile::length(int64_t& length) {
    return zur_file_length(static_cast<ZurFile*>(handle_), &length);
}

}  // namespace gxlog::zur
