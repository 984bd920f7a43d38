#include "record/world_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/host_services.h"

namespace record {

namespace fs = std::filesystem;

namespace {

std::string systemReason() { return std::strerror(errno); }

// Writes text through stdio and closes; empty on success.
std::string writeAndClose(FILE* f, const std::string& text) {
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    const std::string reason = written ? "" : systemReason();
    const bool flushed = std::fflush(f) == 0;
    const std::string flushReason = flushed ? "" : systemReason();
    const bool closed = std::fclose(f) == 0;
    if (!written) return reason;
    if (!flushed) return flushReason;
    if (!closed) return systemReason();
    return "";
}

}  // namespace

std::string writeWholeFile(const std::string& path, const std::string& text) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (fs::is_directory(status)) return "it is a folder";
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        // A device such as a terminal or /dev/null: replacing it would be wrong.
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) return systemReason();
        return writeAndClose(f, text);
    }
    const std::string temporary = path + "." + std::to_string(platform::currentProcessId()) + ".tmp";
    FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f) return systemReason();
    if (std::string why = writeAndClose(f, text); !why.empty()) {
        std::remove(temporary.c_str());
        return why;
    }
    fs::rename(temporary, path, ec);
    if (ec) {
        std::remove(temporary.c_str());
        return ec.message();
    }
    return "";
}

}  // namespace record
