// A properties file from the fuzzer bytes configures the whole toolkit (GXgToolkitInit);
// then a few trace records go through the loggers, filters, handlers and formatters it
// configured, and the toolkit is shut down again. Nothing may crash, leak outside its
// buffers or hang, whatever the configuration says.
//
// The handlers write real files, so the configuration is kept inside a private working
// folder: path separators become '_' (so every file name is relative to that folder),
// backslashes become '_' (so no escape can make a separator either), and the
// shared-file lock key is left at its default (each key is a lock file of the system).
// The folder is emptied after every input. Run with -close_fd_mask=2: the toolkit's
// messages go to standard error.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

#include "gxlog/src/GXgLog.h"

namespace fs = std::filesystem;

namespace {

fs::path g_folder;

std::string confined(std::string_view bytes) {
    std::string text(bytes);
    for (char& c : text) {
        if (c == '/' || c == '\\') c = '_';
    }
    for (std::size_t at; (at = text.find("MPFileSemKey")) != std::string::npos;) text[at + 11] = 'z';
    return text;
}

// The object name of the first line's key, to be asked for as a logger.
std::string firstObject(std::string_view text) {
    const std::size_t end = text.find_first_of("=: \t\r\n");
    std::string_view key = text.substr(0, end);
    const std::size_t dot = key.rfind('.');
    return std::string(dot == std::string_view::npos ? key : key.substr(0, dot));
}

void logSome(GXgObject* logger, const std::string& text) {
    if (!logger || !GXgIsLoggable(logger, 3000)) return;
    GXgLogTrace(logger, "Portsurvey", "Main", 416, "Adapter %d, HBAOffset is %d, OSDeviceName is %s",
                GXG_PARM_INT, 1, GXG_PARM_INT, 17, GXG_PARM_STRING, text.c_str(), GXG_PARM_END);
    GXgLogTrace(logger, nullptr, "m", 2, "%2$s-%1$s", GXG_PARM_STRING, "a\x01", GXG_PARM_STRING, "b]]>",
                GXG_PARM_NAMED, "organization", GXG_PARM_STRING, "o<&\"", GXG_LEVEL_ERROR, GXG_PARM_END);
    GXgLogTrace(logger, "Portsurveyxml", "getHfsInfo", 1361, "Entering getHfsInfo function", GXG_LEVEL_INFO, GXG_PARM_END);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_folder = fs::temp_directory_path() / ("gxlog-toolkit-fuzz-" + std::to_string(::getpid()));
    fs::create_directories(g_folder);
    fs::current_path(g_folder);
    std::atexit([] {
        std::error_code ignored;
        fs::current_path(fs::temp_directory_path(), ignored);
        fs::remove_all(g_folder, ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text = confined(std::string_view(reinterpret_cast<const char*>(data), size));
    std::ofstream("nativelog.properties", std::ios::binary) << text;
    if (GXgToolkitInit("nativelog.properties")) {
        GXgObject* scanner = GXgGetLogger("native.trace.attributeScanner", nullptr);
        GXgObject* other = GXgGetLogger(firstObject(text).c_str(), nullptr);
        const std::string tail = text.substr(text.size() / 2, 64);
        logSome(scanner, tail);
        logSome(other, tail);
        GXgToolkitTerm();
    }
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(g_folder, ignored)) fs::remove_all(entry.path(), ignored);
    return 0;
}
