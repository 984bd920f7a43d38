// Small helpers shared by the tests of every build (header only, no library to link).
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace testsupport {

// Bytes as upper-case hexadecimal digits, two per byte, no separators.
inline std::string hex(const void* p, std::size_t n) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string s;
    const auto* b = static_cast<const uint8_t*>(p);
    for (std::size_t i = 0; i < n; ++i) {
        s.push_back(kDigits[b[i] >> 4]);
        s.push_back(kDigits[b[i] & 15]);
    }
    return s;
}

// Sets an environment variable of this process and the programs it starts; an empty value
// removes it (as Windows does with any empty value).
inline void setEnv(const char* name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    if (value.empty()) unsetenv(name);
    else setenv(name, value.c_str(), 1);
#endif
}

// The whole content of a file, read as bytes (empty when it cannot be read).
inline std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A path of the build tree as the program under test sees it: unchanged on POSIX; on the
// Windows build (run under wine) an absolute POSIX path lies on drive Z:.
inline std::string hostPath(std::string path) {
#ifdef _WIN32
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
#endif
    return path;
}

// Makes dir the working directory for the life of the object.
struct InDirectory {
    std::filesystem::path saved = std::filesystem::current_path();
    explicit InDirectory(const std::filesystem::path& dir) { std::filesystem::current_path(dir); }
    ~InDirectory() { std::filesystem::current_path(saved); }
};

}  // namespace testsupport
