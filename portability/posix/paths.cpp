// Path rules of the POSIX build.
//
// Where this differs from the Windows build: '/' is the separator and an absolute path
// starts with it, so such paths are accepted here; what is rejected instead is the empty
// path and the forms only Windows can reach (a share starting with two backslashes, a drive
// path containing ":\"), and conversion turns '\' into '/', so that paths written for
// Windows ("logs\trace.log") name the same file here.
#include <algorithm>
#include <cstring>
#include <string_view>

#include "portability/zur.h"

extern "C" {

bool zur_is_absolute(const char* path) {
    if (path == nullptr) return false;
    const std::string_view text{path};
    return text.empty() || text.front() == '/' || text.front() == '\\';
}

bool zur_path_acceptable(const char* path) {
    if (path == nullptr) return false;
    const std::string_view text{path};
    return !text.empty() && !text.starts_with("\\\\") && text.find(":\\") == std::string_view::npos;
}

char* zur_native_path(char* path) {
    if (!zur_path_acceptable(path)) return nullptr;
    std::replace(path, path + std::strlen(path), '\\', '/');
    return path;
}

const char zur_path_separator = '/';

// '/' is this system's own root, so nothing needs a system drive.
bool zur_system_drive_path(char* path) { return path != nullptr; }

}  // extern "C"
