// Helpers for the toolkit tests: fresh folders under the build tree, properties files,
// a started toolkit that is shut down again, and capture of what the toolkit writes to
// standard output or standard error.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "gxlog/src/GXgLog.h"

#include "tests/support/test_helpers.h"

namespace gxtest {

namespace fs = std::filesystem;

// An empty folder for one test, relative to the working directory (the test's binary
// folder), so that its name is valid for both builds.
inline std::string freshDir(const std::string& name) {
    const fs::path dir = fs::path("gxlog-out") / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir.generic_string();
}

inline std::string readAll(const std::string& path) { return testsupport::fileText(path); }

inline void writeAll(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

// Captures what is written to stdout or stderr (through the C library) while alive.
class Capture {
public:
    explicit Capture(std::FILE* stream) : stream_(stream) {
        std::fflush(stream_);
        path_ = (fs::temp_directory_path() / ("gxg-capture-" + std::to_string(counter()++))).string();
        target_ = std::fopen(path_.c_str(), "wb");
#ifdef _WIN32
        saved_ = _dup(_fileno(stream_));
        _dup2(_fileno(target_), _fileno(stream_));
#else
        saved_ = dup(fileno(stream_));
        dup2(fileno(target_), fileno(stream_));
#endif
    }
    ~Capture() { finish(); }

    // Stops capturing and returns what was written.
    std::string finish() {
        if (target_) {
            std::fflush(stream_);
#ifdef _WIN32
            _dup2(saved_, _fileno(stream_));
            _close(saved_);
#else
            dup2(saved_, fileno(stream_));
            close(saved_);
#endif
            std::fclose(target_);
            target_ = nullptr;
            text_ = readAll(path_);
            std::remove(path_.c_str());
        }
        return text_;
    }

private:
    static int& counter() {
        static int n = 0;
        return n;
    }
    std::FILE* stream_;
    std::FILE* target_ = nullptr;
    std::string path_;
    std::string text_;
    int saved_ = -1;
};

// The toolkit started from a properties file with this content; shut down on exit.
class Toolkit {
public:
    explicit Toolkit(const std::string& properties, const std::string& name = "toolkit") {
        const std::string dir = freshDir("props-" + name);
        path_ = dir + "/nativelog.properties";
        writeAll(path_, properties);
        ok_ = GXgToolkitInit(path_.c_str());
    }
    ~Toolkit() { GXgToolkitTerm(); }
    bool ok() const { return ok_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    bool ok_ = false;
};

}  // namespace gxtest
