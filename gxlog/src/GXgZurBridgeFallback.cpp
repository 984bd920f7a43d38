// Stand-in for the portability layer until it is linked in: runtime-library files and
// strerror texts, with the layer's status convention (-4 and errno for system errors).
#include "gxlog/src/GXgZurBridge.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace gxlog::zur {

std::string errorText(const Status& status) {
    std::string text;
    if (status.code < 0 && status.code != -4) return text;
    if (status.error <= 200 && status.error >= 0) {
        const char* s = std::strerror(status.error);
        if (s) text = s;
    }
    if (text.size() > 127) text.resize(127);
    return text;
}

std::unique_ptr<InputFile> InputFile::open(const std::string& path, Status& status) {
    status = {};
    std::FILE* f = std::fopen(path.c_str(), "r");
    if (!f) {
        status = {-4, errno, 3};
        return nullptr;
    }
    std::unique_ptr<InputFile> file(new InputFile);
    file->handle_ = f;
    return file;
}

InputFile::~InputFile() {
    if (handle_) std::fclose(static_cast<std::FILE*>(handle_));
}

Status InputFile::read(char* buffer, std::size_t size, std::size_t& count) {
    auto* f = static_cast<std::FILE*>(handle_);
    count = std::fread(buffer, 1, size, f);
    if (count == 0 && std::ferror(f)) return {-4, errno, 2};
    return {};
}

}  // namespace gxlog::zur
