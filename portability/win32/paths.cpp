// Path rules of the Windows build. Paths written POSIX-style ("/tmp/x.log") are rejected,
// because on Windows they would silently land on whatever drive is current; a network share
// ("\\server\share") and a drive path ("C:\logs") are absolute and accepted; relative paths
// are accepted. Conversion turns every '/' into '\'.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "portability/zur.h"

namespace {

// Empty counts as starting with '/'.
bool startsWithSlash(std::string_view path) { return path.empty() || path.front() == '/'; }
bool isShare(std::string_view path) { return path.starts_with("\\\\"); }
bool hasDrive(std::string_view path) { return path.find(":\\") != std::string_view::npos; }

}  // namespace

extern "C" {

bool zur_is_absolute(const char* path) {
    if (path == nullptr) return false;
    const std::string_view text{path};
    return startsWithSlash(text) || isShare(text) || hasDrive(text);
}

bool zur_path_acceptable(const char* path) {
    if (path == nullptr) return false;
    const std::string_view text{path};
    return !startsWithSlash(text) || isShare(text) || hasDrive(text);
}

char* zur_native_path(char* path) {
    if (!zur_path_acceptable(path)) return nullptr;
    std::replace(path, path + std::strlen(path), '/', '\\');
    return path;
}

const char zur_path_separator = '\\';

bool zur_system_drive_path(char* path) {
    if (path == nullptr) return false;
    if (path[0] == '/' && std::getenv("SystemDrive") == nullptr) return false;
    std::replace(path, path + std::strlen(path), '/', '\\');
    return true;
}

}  // extern "C"
