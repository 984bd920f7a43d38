// Helpers for the toolkit tests: fresh folders under the build tree, properties files,
// a started toolkit that is shut down again, and capture of what the toolkit writes to
// standard output or standard error.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

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
    explicit Capture(std::FILE* stream) : stdout_(stream == stdout) {
        if (stdout_) ::testing::internal::CaptureStdout();
        else ::testing::internal::CaptureStderr();
    }
    ~Capture() { finish(); }

    // Stops capturing and returns what was written.
    std::string finish() {
        if (capturing_) {
            capturing_ = false;
            text_ = stdout_ ? ::testing::internal::GetCapturedStdout() : ::testing::internal::GetCapturedStderr();
        }
        return text_;
    }

private:
    bool stdout_;
    bool capturing_ = true;
    std::string text_;
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
